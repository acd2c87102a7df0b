// The caller walk by the unwinder, on the processor the tests run on: from the
// state a fault or a signal interrupts out to the frame where it is told to
// end, the routines told apart by their names in the debug information.
#include <gtest/gtest.h>
#include <poll.h>

#include <csetjmp>
#include <csignal>
#include <ctime>
#include <string>
#include <vector>

#include "runtime/DebugInfo.h"
#include "runtime/ProgramImage.h"
#include "runtime/posix/Processor.h"
#include "runtime/posix/StackWalk.h"

namespace {

using Routines = std::vector<std::string>;

struct Sample {
  uintptr_t pc = 0;
  const void* returnPoints[kMaxCallerLines] = {};
  int count = 0;
  bool endsInStartup = false;
};

constexpr int kMaxSamples = 400;
Sample samples[kMaxSamples];
volatile sig_atomic_t sampleCount = 0;
uintptr_t driverFrame = 0;
sigjmp_buf afterFault;
volatile int sink = 0;
int* volatile nowhere = nullptr;

// Walks from the interrupted state, inside the driver only, once it knows its frame.
void OnSignal(int signal, siginfo_t*, void* context) {
  unw_context_t state;
  unw_cursor_t cursor;
  unw_word_t pc = 0;
  UnwinderContextOf(*static_cast<ucontext_t*>(context), state);
  if (sampleCount < kMaxSamples && driverFrame != 0 &&
      unw_init_local2(&cursor, &state, UNW_INIT_SIGNAL_FRAME) == 0 &&
      unw_get_reg(&cursor, UNW_REG_IP, &pc) == 0) {
    Sample& sample = samples[sampleCount];
    sample.pc = pc;
    sample.count = WalkCallers(cursor, MainStackBounds().high, driverFrame, sample.returnPoints,
                               sample.endsInStartup);
    sampleCount = sampleCount + 1;
  }
  if (signal == SIGSEGV) siglongjmp(afterFault, 1);
}

std::string RoutineAt(uintptr_t address) {
  CodeLocation location;
  LookUpCode(address, location);
  return location.routine.empty() ? "?" : std::string(location.routine);
}

// The interrupted routine and its callers; not the driver's caller, where the walk ends.
Routines Names(const Sample& sample) {
  Routines names{RoutineAt(CodeAddress(reinterpret_cast<void*>(sample.pc)))};
  for (int i = 0; i < sample.count - (sample.endsInStartup ? 1 : 0); ++i)
    names.push_back(RoutineAt(CodeAddress(sample.returnPoints[i]) - 1));
  return names;
}

// Its fault is deliberate: it must reach the handler, not the sanitizers' checks.
[[gnu::noinline]] __attribute__((no_sanitize("address", "undefined"))) void WALKLEAF() {
  *nowhere = 1;
}

[[gnu::noinline]] void WALKMIDDLE() {
  WALKLEAF();
  sink = sink + 1;
}

[[gnu::noinline]] void WALKRECURSE(int depth) {
  depth == 0 ? WALKLEAF() : WALKRECURSE(depth - 1);
  sink = sink + 1;
}

[[gnu::noinline]] void WALKNOTHING() {
  sink = sink + 1;
}

// A frame of its own, for a prologue and an epilogue.
[[gnu::noinline]] int WALKFRAMED(int n) {
  volatile int local[8];
  local[n & 7] = n;
  WALKNOTHING();
  return local[(n + 1) & 7];
}

[[gnu::noinline]] void WALKSPIN() {
  for (int n = 0; sampleCount < kMaxSamples; ++n) sink = WALKFRAMED(n);
}

[[gnu::noinline]] void WALKWAIT() {
  timespec second{1, 0};
  ppoll(nullptr, 0, &second, nullptr);
}

// Runs `scenario` inside a frame of its own, where the walks end.
[[gnu::noinline]] void WALKDRIVER(void (*scenario)()) {
  driverFrame = FrameOf(0);
  scenario();
  driverFrame = 0;
}

class StackWalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    struct sigaction action = {};
    action.sa_flags = SA_SIGINFO;
    action.sa_sigaction = OnSignal;
    sigaction(SIGSEGV, &action, &oldFault_);
    sigaction(SIGALRM, &action, &oldTimer_);
  }
  void TearDown() override {
    if (timing_) timer_delete(timer_);
    signal(SIGALRM, SIG_IGN);  // drops a signal the timer left pending
    sigaction(SIGSEGV, &oldFault_, nullptr);
    sigaction(SIGALRM, &oldTimer_, nullptr);
  }
  // Runs `scenario` in the driver, with SIGALRM every `interval` nanoseconds, or to its fault.
  void Run(void (*scenario)(), long interval = 0) {
    sampleCount = 0;
    driverFrame = 0;
    if (interval > 0) {
      sigevent event = {};
      event.sigev_notify = SIGEV_SIGNAL;
      event.sigev_signo = SIGALRM;
      ASSERT_EQ(timer_create(CLOCK_MONOTONIC, &event, &timer_), 0);
      timing_ = true;
      const itimerspec every{{0, interval}, {0, interval}};
      ASSERT_EQ(timer_settime(timer_, 0, &every, nullptr), 0);
    }
    if (sigsetjmp(afterFault, 1) == 0) WALKDRIVER(scenario);
    ASSERT_GE(sampleCount, 1);
  }

  struct sigaction oldFault_ = {};
  struct sigaction oldTimer_ = {};
  timer_t timer_ = {};
  bool timing_ = false;
};

TEST_F(StackWalkTest, AFaultNamesItsRoutineAndItsCallers) {
  Routines deep(kMaxCallerLines + 1, "WALKRECURSE");
  deep.front() = "WALKLEAF";
  const struct {
    const char* name;
    void (*scenario)();
    Routines routines;
    bool endsInStartup;
  } cases[] = {
      {"in a routine without a frame", WALKMIDDLE, {"WALKLEAF", "WALKMIDDLE", "WALKDRIVER"}, true},
      {"nine callers deep, as at a stack overflow", [] { WALKRECURSE(20); }, deep, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Run(c.scenario);
    EXPECT_EQ(Names(samples[0]), c.routines);
    EXPECT_EQ(samples[0].endsInStartup, c.endsInStartup);
  }
}

// The walk starts in the C library's routines around the system call.
TEST_F(StackWalkTest, ASignalAtAWaitNamesTheWaitingRoutine) {
  Run(WALKWAIT, 20'000'000);
  Routines names = Names(samples[0]);
  while (!names.empty() && !names.front().starts_with("WALK")) names.erase(names.begin());
  EXPECT_EQ(names, (Routines{"WALKWAIT", "WALKDRIVER"}));
  EXPECT_TRUE(samples[0].endsInStartup);
}

// Signals land anywhere in a routine, in its prologue and its epilogue too:
// the unwind tables hold at every instruction.
TEST_F(StackWalkTest, ASignalAtAnyInstructionNamesTheCallers) {
#if defined(__arm__)
  GTEST_SKIP() << "ARM's exception tables tell a routine's state after its prologue only";
#endif
  Run(WALKSPIN, 100'000);
  const Routines chain{"WALKNOTHING", "WALKFRAMED", "WALKSPIN", "WALKDRIVER"};
  for (int i = 0; i < kMaxSamples; ++i) {
    Routines names = Names(samples[i]);
    // A signal may land in a helper the compiler adds without debug
    // information, such as i386's program-counter thunk: the whole chain follows.
    if (names.size() == chain.size() + 1 && names.front() == "?") names.erase(names.begin());
    ASSERT_LE(names.size(), chain.size()) << "sample " << i << " at " << std::hex << samples[i].pc
                                          << ": " << ::testing::PrintToString(names);
    EXPECT_EQ(names, Routines(chain.end() - names.size(), chain.end())) << "sample " << i;
    EXPECT_TRUE(samples[i].endsInStartup) << "sample " << i;
  }
}

}  // namespace
