#include "runtime/Faults.h"

#include <libunwind.h>
#include <signal.h>
#include <ucontext.h>

#include <cstdint>
#include <new>

#include "runtime/ErrorCodes.h"
#include "runtime/FatalError.h"
#include "runtime/ProgramImage.h"
#include "runtime/posix/ErrorContext.h"

namespace {

using namespace RuntimeError;

// The kernel keeps a gap of this size below the stack that it never grows into.
constexpr uintptr_t kStackGuardGap = uintptr_t{1} << 20;
// A fault this close below the stack pointer is a push or a new frame's store.
constexpr uintptr_t kNearStackPointer = uintptr_t{64} << 10;

// The handlers run here, so a stack overflow can still be reported. Large
// enough for the end of the run, the report and the debug-information reader.
alignas(16) char faultStack[uintptr_t{1} << 20];

bool IsStackOverflow(uintptr_t faultAddress, uintptr_t stackPointer, StackBounds stack) {
  const bool inGuardGap =
      stack.low != 0 && faultAddress < stack.low && stack.low - faultAddress <= kStackGuardGap;
  const bool belowStackPointer =
      faultAddress < stackPointer && stackPointer - faultAddress <= kNearStackPointer;
  return inGuardGap || belowStackPointer;
}

uint16_t ArithmeticCode(int code) {
  switch (code) {
    case FPE_INTDIV:
    case FPE_FLTDIV:
      return kDivisionByZero;
    case FPE_INTOVF:
      return kIntegerOverflow;
    case FPE_FLTOVF:
      return kFloatOverflow;
    case FPE_FLTUND:
      return kFloatUnderflow;
    case FPE_FLTRES:
    case FPE_FLTINV:
      return kFloatInvalid;
    case FPE_FLTSUB:
      return kRangeCheck;
    default:
      return kOtherFault;
  }
}

uint16_t FaultCodeOf(int signal, const siginfo_t& info, const InterruptedState& state,
                     StackBounds stack) {
  switch (signal) {
    case SIGFPE:
      return ArithmeticCode(info.si_code);
    case SIGSEGV:
      return IsStackOverflow(reinterpret_cast<uintptr_t>(info.si_addr), state.stackPointer, stack)
                 ? kStackOverflow
                 : kAccessViolation;
    case SIGILL:
      return info.si_code == ILL_PRVOPC || info.si_code == ILL_PRVREG ? kPrivilegedInstruction
                                                                      : kAccessViolation;
    case SIGBUS:
      return kAccessViolation;
    case SIGINT:
    case SIGTERM:
    case SIGHUP:
      return kControlC;
    default:
      return kOtherFault;
  }
}

// The signals the processor raises for the instruction that is running (and
// abort, which the running code raises itself). They are never held back: a
// fault inside the end of the run must end the process at once.
constexpr int kFaultSignals[] = {SIGFPE, SIGSEGV, SIGBUS, SIGILL, SIGTRAP, SIGSYS, SIGABRT};
// The other signals whose default action ends the process; the real-time
// signals join them at installation. SIGPIPE is ignored instead.
constexpr int kEndingSignals[] = {SIGHUP,    SIGINT,  SIGQUIT, SIGUSR1,   SIGUSR2, SIGALRM, SIGTERM,
                                  SIGSTKFLT, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR};

// Every signal but the faults.
sigset_t Interruptions() {
  sigset_t set;
  sigfillset(&set);
  for (int signal : kFaultSignals) sigdelset(&set, signal);
  return set;
}

// Ends the program from the interrupted instruction and its state. Runs with
// every interruption held, so handlers never nest. Whether the run is already
// ending is asked first: a fault inside the end of the run then ends the
// process at once, and a fault signal sent by another process is dropped.
void OnSignal(int signal, siginfo_t* info, void* context) {
  if (RunEnding()) {
    const bool raisedByProcessor = info->si_code > 0;
    if (raisedByProcessor) RaiseFatalError(kOtherFault, nullptr);
    return;
  }
  const InterruptedState state = KeepErrorContext(*static_cast<ucontext_t*>(context));
  // Of an arithmetic fault or an illegal instruction the processor names the
  // instruction itself, where the interrupted state may already point past
  // it (on s390x, where such an exception ends the instruction).
  const bool named = (signal == SIGFPE || signal == SIGILL) && info->si_code > 0;
  RaiseFatalError(FaultCodeOf(signal, *info, state, MainStackBounds()),
                  named ? info->si_addr : reinterpret_cast<const void*>(state.pc), true);
}

// Located at the call that asked for the memory: the allocation function
// calls this handler directly, so the asking routine is two steps out.
[[noreturn, gnu::noinline]] void OnOutOfMemory() {
  unw_context_t context;
  unw_cursor_t cursor;
  unw_getcontext(&context);
  unw_word_t call = 0;
  const bool found = unw_init_local(&cursor, &context) == 0 && unw_step(&cursor) > 0 &&
                     unw_step(&cursor) > 0 && unw_get_reg(&cursor, UNW_REG_IP, &call) == 0;
  RaiseFatalError(kOutOfMemory,
                  found ? reinterpret_cast<const void*>(call) : __builtin_return_address(0));
}

}  // namespace

void InstallFaultHandlers() {
  stack_t alternate = {};
  alternate.ss_sp = faultStack;
  alternate.ss_size = sizeof faultStack;
  sigaltstack(&alternate, nullptr);

  struct sigaction action = {};
  action.sa_sigaction = OnSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  action.sa_mask = Interruptions();
  for (int signal : kFaultSignals) sigaction(signal, &action, nullptr);
  for (int signal : kEndingSignals) sigaction(signal, &action, nullptr);
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) sigaction(signal, &action, nullptr);

  // A write to a closed pipe then fails with an I/O result instead of killing.
  signal(SIGPIPE, SIG_IGN);
  std::set_new_handler(OnOutOfMemory);
}

void HoldInterruptions() {
  const sigset_t held = Interruptions();
  sigprocmask(SIG_SETMASK, &held, nullptr);
}
