#include "runtime/Faults.h"

#include <windows.h>

#include <atomic>
#include <new>

#include "ErrorContext.h"
#include "runtime/ErrorCodes.h"
#include "runtime/FatalError.h"
#include "runtime/ProgramImage.h"

namespace {

// The end of the run after a fault continues here, so a stack overflow can
// still be reported. Large enough for the end of the run, the report and the
// debug-information reader.
alignas(16) char reserveStack[uintptr_t{1} << 20];

HANDLE mainThread = nullptr;
// Set once the end of the run has begun, or a console event is ending it.
std::atomic<bool> interruptionsHeld = false;
uint16_t faultCode = 0;
const void* faultAddress = nullptr;

constexpr DWORD kErrorSeverity = 0xC0000000;

bool OfErrorSeverity(DWORD exception) {
  return (exception & kErrorSeverity) == kErrorSeverity;
}

uint16_t FaultCodeOf(DWORD exception) {
  switch (exception) {
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
      return RuntimeError::kDivisionByZero;
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
      return RuntimeError::kRangeCheck;
    case EXCEPTION_STACK_OVERFLOW:
      return RuntimeError::kStackOverflow;
    case EXCEPTION_FLT_OVERFLOW:
      return RuntimeError::kFloatOverflow;
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
      return RuntimeError::kFloatUnderflow;
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_STACK_CHECK:
      return RuntimeError::kFloatInvalid;
    case EXCEPTION_INT_OVERFLOW:
      return RuntimeError::kIntegerOverflow;
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
      return RuntimeError::kAccessViolation;
    case EXCEPTION_PRIV_INSTRUCTION:
      return RuntimeError::kPrivilegedInstruction;
    default:
      // Control-C exit among them.
      return OfErrorSeverity(exception) ? RuntimeError::kControlC : RuntimeError::kOtherFault;
  }
}

[[noreturn]] void EndOnFault() {
  RaiseFatalError(faultCode, faultAddress, true);
}

// Keeps the state at the fault for the report and resumes the thread in
// EndOnFault on the reserve stack, as if that routine had just been called.
LONG EndFromFault(EXCEPTION_POINTERS* fault) {
  faultCode = FaultCodeOf(fault->ExceptionRecord->ExceptionCode);
  faultAddress = fault->ExceptionRecord->ExceptionAddress;
  KeepErrorContext(*fault->ContextRecord);
  CONTEXT& context = *fault->ContextRecord;
  context.Rsp = reinterpret_cast<DWORD64>(reserveStack + sizeof reserveStack) - sizeof(DWORD64);
  context.Rip = reinterpret_cast<DWORD64>(&EndOnFault);
  return EXCEPTION_CONTINUE_EXECUTION;
}

// First in line: a fault of error severity in the program's own code, and a
// stack overflow anywhere (nothing later could still run). Faults that other
// code expects and handles itself, and the run-time's C++ exceptions, pass on.
LONG CALLBACK OnException(EXCEPTION_POINTERS* fault) {
  const EXCEPTION_RECORD& record = *fault->ExceptionRecord;
  const bool ours =
      record.ExceptionCode == EXCEPTION_STACK_OVERFLOW ||
      (OfErrorSeverity(record.ExceptionCode) && InProgramImage(record.ExceptionAddress));
  return ours ? EndFromFault(fault) : EXCEPTION_CONTINUE_SEARCH;
}

// Last in line: whatever fault no one else handled.
LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* fault) {
  return EndFromFault(fault);
}

// Ctrl+C, Ctrl+Break and the closing of the console arrive on a thread of
// their own. The main thread is stopped where it is, and the run ends from
// here. The error's location is in the program: a thread stopped inside the
// system, as in a wait for a key, is taken at its call into the system. Once
// the end of the run has begun, nothing more interrupts it: a key is dropped,
// and a closing console, which ends the process as soon as its handler
// returns, waits for the run's end.
BOOL WINAPI OnConsoleControl(DWORD event) {
  if (interruptionsHeld.exchange(true)) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
    Sleep(INFINITE);
  }
  const void* address = nullptr;
  bool atCall = false;
  if (SuspendThread(mainThread) != static_cast<DWORD>(-1)) {
    CONTEXT context = {};
    context.ContextFlags = CONTEXT_FULL;
    if (GetThreadContext(mainThread, &context)) {
      while (!InProgramImage(reinterpret_cast<const void*>(context.Rip)) && StepOut(context))
        atCall = true;
      KeepErrorContext(context);
      address = reinterpret_cast<const void*>(context.Rip);
    }
  }
  RaiseFatalError(RuntimeError::kControlC, address, !atCall);
}

// Located at the call that asked for the memory: the allocation function
// calls this handler directly, so the asking routine is two steps out.
[[noreturn, gnu::noinline]] void OnOutOfMemory() {
  CONTEXT context;
  RtlCaptureContext(&context);
  const bool found = StepOut(context) && StepOut(context);
  RaiseFatalError(RuntimeError::kOutOfMemory,
                  found ? reinterpret_cast<const void*>(context.Rip) : __builtin_return_address(0));
}

}  // namespace

void InstallFaultHandlers() {
  // The stack's bounds are taken here, on the main thread.
  MainStackBounds();
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &mainThread, 0,
                  FALSE, DUPLICATE_SAME_ACCESS);
  AddVectoredExceptionHandler(1, OnException);
  SetUnhandledExceptionFilter(OnUnhandledException);
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  // No message box for a fault: the report is written instead.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  std::set_new_handler(OnOutOfMemory);
}

void HoldInterruptions() {
  interruptionsHeld = true;
}
