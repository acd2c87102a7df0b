#include "runtime/Faults.h"

#include <signal.h>
#include <ucontext.h>

#include <cstdint>
#include <new>

#include "runtime/ErrorCodes.h"
#include "runtime/FatalError.h"
#include "runtime/ProgramImage.h"

namespace {

using namespace RuntimeError;

// The kernel keeps a gap of this size below the stack that it never grows into.
constexpr uintptr_t kStackGuardGap = uintptr_t{1} << 20;
// A fault this close below the stack pointer is a push or a new frame's store.
constexpr uintptr_t kNearStackPointer = uintptr_t{64} << 10;

// The handlers run here, so a stack overflow can still be reported. Large
// enough for the end of the run, the report and the debug-information reader.
alignas(16) char faultStack[uintptr_t{1} << 20];

bool IsStackOverflow(uintptr_t faultAddress, uintptr_t stackPointer) {
  const StackBounds stack = MainStackBounds();
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

uint16_t FaultCodeOf(int signal, const siginfo_t& info, const mcontext_t& machine) {
  switch (signal) {
    case SIGFPE:
      return ArithmeticCode(info.si_code);
    case SIGSEGV:
      return IsStackOverflow(reinterpret_cast<uintptr_t>(info.si_addr),
                             static_cast<uintptr_t>(machine.gregs[REG_RSP]))
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

// Whether `returnPoint` follows a direct call in the program; its target in `target`.
bool FollowsDirectCall(uintptr_t returnPoint, uintptr_t& target) {
  constexpr uint8_t kCallRel32 = 0xE8;  // call with a 32-bit displacement
  constexpr int kCallLength = 5;
  const auto* call = reinterpret_cast<const uint8_t*>(returnPoint - kCallLength);
  if (!InProgramImage(call) || call[0] != kCallRel32) return false;
  int32_t displacement;
  __builtin_memcpy(&displacement, call + 1, sizeof displacement);
  target = returnPoint + static_cast<uintptr_t>(static_cast<intptr_t>(displacement));
  return true;
}

// Whether `returnPoint` follows a direct call to code at or before `pc`.
bool FollowsCallTowards(uintptr_t returnPoint, uintptr_t pc) {
  uintptr_t target = 0;
  return FollowsDirectCall(returnPoint, target) && target <= pc && pc - target < kNearStackPointer;
}

// The frame active at the fault. A routine that needs no stack builds no frame
// of its own: the frame register still holds its caller's frame, and the
// return point lies at the stack pointer. Such a routine never runs again, so
// the word below its stack pointer is free to take the caller's frame, which
// makes a frame of the usual shape there.
void* const* FaultFrame(const mcontext_t& machine) {
  const auto stackPointer = static_cast<uintptr_t>(machine.gregs[REG_RSP]);
  auto* frame = reinterpret_cast<void* const*>(machine.gregs[REG_RBP]);
  const StackBounds stack = MainStackBounds();
  if (stackPointer - sizeof(void*) < stack.low || stackPointer + sizeof(void*) > stack.high)
    return frame;
  auto* top = reinterpret_cast<void**>(stackPointer);
  const auto returnPoint = reinterpret_cast<uintptr_t>(top[0]);
  if (!FollowsCallTowards(returnPoint, static_cast<uintptr_t>(machine.gregs[REG_RIP])))
    return frame;
  top[-1] = const_cast<void**>(frame);
  return top - 1;
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

// Ends the program from the interrupted instruction and its frame. Runs with
// every interruption held, so handlers never nest. Whether the run is already
// ending is asked first: a fault inside the end of the run then ends the
// process at once, and a fault signal sent by another process is dropped.
void OnSignal(int signal, siginfo_t* info, void* context) {
  if (RunEnding()) {
    const bool raisedByProcessor = info->si_code > 0;
    if (raisedByProcessor) RaiseFatalError(kOtherFault, nullptr, nullptr);
    return;
  }
  const mcontext_t& machine = static_cast<ucontext_t*>(context)->uc_mcontext;
  RaiseFatalError(FaultCodeOf(signal, *info, machine),
                  reinterpret_cast<const void*>(machine.gregs[REG_RIP]), FaultFrame(machine), true);
}

// The return point into the routine that asked for memory. The allocation
// function in between keeps no frame of its own: above this handler's frame
// lie the return point into it, the few registers it saved, and then the
// return point of the asking routine's call, the first word that follows a
// direct call; the asking routine's frame bounds the search.
const void* AllocationCall(void* const* handlerFrame, void* const* askingFrame) {
  constexpr int kMaxWords = 16;
  void* const* word = handlerFrame + 2;
  for (int i = 0; i < kMaxWords && word < askingFrame; ++i, ++word) {
    uintptr_t target = 0;
    if (FollowsDirectCall(reinterpret_cast<uintptr_t>(*word), target)) return *word;
  }
  return nullptr;
}

[[noreturn, gnu::noinline]] void OnOutOfMemory() {
  void* const* askingFrame = CallerFrame();
  const void* call =
      AllocationCall(static_cast<void* const*>(__builtin_frame_address(0)), askingFrame);
  RaiseFatalError(kOutOfMemory, call != nullptr ? call : __builtin_return_address(0), askingFrame);
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
