#include "runtime/Faults.h"

#include <signal.h>
#include <ucontext.h>

#include <cstdint>
#include <new>

#include "runtime/ErrorCodes.h"
#include "runtime/FatalError.h"
#include "runtime/ProgramImage.h"
#include "runtime/posix/Processor.h"

namespace {

using namespace RuntimeError;

// The kernel keeps a gap of this size below the stack that it never grows into.
constexpr uintptr_t kStackGuardGap = uintptr_t{1} << 20;
// A fault this close below the stack pointer is a push or a new frame's store.
constexpr uintptr_t kNearStackPointer = uintptr_t{64} << 10;
// No routine of the program is longer than this.
constexpr uintptr_t kLongestRoutine = uintptr_t{64} << 10;

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

// Whether `returnPoint` is the return point of a call into the routine that
// holds `pc`: it follows a direct call to code at or a little before `pc`.
// One that lies between the two is a return point inside that routine
// itself, left by a call it made.
bool CallsRoutineAt(uintptr_t returnPoint, uintptr_t pc) {
  uintptr_t target = 0;
  return FollowsDirectCall(returnPoint, target) && target <= pc && pc - target < kLongestRoutine &&
         !(target < returnPoint && returnPoint <= pc);
}

// The frame active at the fault. A routine that needs no stack builds no
// frame record of its own, and one that is ending may have taken its record
// down: the frame register then still holds its caller's frame, and the
// return point into the caller lies outside the records. Such a routine never
// runs again, so the two words below its stack pointer are free to take a
// record of the usual shape for it.
void* const* FaultFrame(const InterruptedState& state, StackBounds stack) {
  constexpr uintptr_t kRecordSize = 2 * sizeof(void*);
  if (!CallsRoutineAt(state.looseReturnPoint, state.pc) ||
      state.stackPointer - kRecordSize < stack.low || state.stackPointer > stack.high)
    return state.frame;
  auto* record = reinterpret_cast<void**>(state.stackPointer - kRecordSize);
  record[0] = const_cast<void**>(state.frame);
  record[1] = reinterpret_cast<void*>(state.looseReturnPoint);
  return record;
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
  const StackBounds stack = MainStackBounds();
  const InterruptedState state = StateOf(static_cast<ucontext_t*>(context)->uc_mcontext, stack);
  RaiseFatalError(FaultCodeOf(signal, *info, state, stack), reinterpret_cast<const void*>(state.pc),
                  FaultFrame(state, stack), true);
}

// The return point into the routine that asked for memory, and that
// routine's frame in `askingFrame`. Between this handler and the asking
// routine lies the allocation function, which calls the handler: above the
// handler's frame record lie the words the allocation function saved, and
// then the return point of the asking routine's call, the first word that
// follows a direct call. An allocation function that keeps a frame record
// holds that return point in its record, whose link is the asking frame; one
// that keeps none leaves the frame register alone, so the asking frame is the
// next record in the chain.
const void* AllocationCall(void* const* handlerFrame, void* const*& askingFrame) {
  constexpr int kMaxWords = 32;
  const StackBounds stack = MainStackBounds();
  auto* record = static_cast<void* const*>(handlerFrame[0]);
  void* const* word = handlerFrame + 2;
  for (int i = 0; i < kMaxWords && reinterpret_cast<uintptr_t>(word + 1) <= stack.high;
       ++i, ++word) {
    const bool inRecord = word == record + 1;
    uintptr_t target = 0;
    if (word != record && FollowsDirectCall(reinterpret_cast<uintptr_t>(*word), target)) {
      askingFrame = inRecord ? static_cast<void* const*>(record[0]) : record;
      return *word;
    }
    if (inRecord) record = static_cast<void* const*>(record[0]);
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
