// The caller walk by the unwinder, on the processor the tests run on: from the
// state a fault or a signal interrupts, out through the callers up to the
// frame where the walk is told to end. The routines are told apart by their
// names in the debug information.
#include <gtest/gtest.h>
#include <poll.h>

#include <csetjmp>
#include <csignal>
#include <ctime>
#include <string>
#include <vector>

#include "runtime/DebugInfo.h"
#include "runtime/posix/Processor.h"
#include "runtime/posix/StackWalk.h"

namespace {

// What a walk from an interrupted state found.
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

// Samples are taken inside the driver only, once it knows its frame.
void TakeSample(void* context) {
  if (sampleCount == kMaxSamples || driverFrame == 0) return;
  Sample& sample = samples[sampleCount];
  unw_context_t state;
  UnwinderContextOf(*static_cast<ucontext_t*>(context), state);
  unw_cursor_t cursor;
  unw_word_t pc = 0;
  if (unw_init_local2(&cursor, &state, UNW_INIT_SIGNAL_FRAME) != 0 ||
      unw_get_reg(&cursor, UNW_REG_IP, &pc) != 0)
    return;
  sample.pc = pc;
  sample.count = WalkCallers(cursor, MainStackBounds(), driverFrame, sample.returnPoints,
                             sample.endsInStartup);
  sampleCount = sampleCount + 1;
}

void OnFault(int, siginfo_t*, void* context) {
  TakeSample(context);
  siglongjmp(afterFault, 1);
}

void OnTimer(int, siginfo_t*, void* context) {
  TakeSample(context);
}

// The routine that holds `address`, "?" where there is none.
std::string RoutineAt(uintptr_t address) {
  CodeLocation location;
  LookUpCode(address, location);
  return location.routine.empty() ? "?" : std::string(location.routine);
}

// The interrupted routine and its callers, by name; the driver's caller, where
// the walk ends after the driver, is left out.
std::vector<std::string> Routines(const Sample& sample) {
  std::vector<std::string> routines{RoutineAt(CodeAddress(reinterpret_cast<void*>(sample.pc)))};
  const int callers = sample.endsInStartup ? sample.count - 1 : sample.count;
  for (int i = 0; i < callers; ++i)
    routines.push_back(RoutineAt(CodeAddress(sample.returnPoints[i]) - 1));
  return routines;
}

[[gnu::noinline]] void WALKLEAF() {
  *nowhere = 1;
}

[[gnu::noinline]] void WALKMIDDLE() {
  WALKLEAF();
  sink = sink + 1;
}

[[gnu::noinline]] void WALKRECURSE(int depth) {
  if (depth == 0)
    WALKLEAF();
  else
    WALKRECURSE(depth - 1);
  sink = sink + 1;
}

[[gnu::noinline]] void WALKDEEP() {
  WALKRECURSE(20);
}

[[gnu::noinline]] void WALKNOTHING() {
  sink = sink + 1;
}

// Keeps a frame of its own, for its prologue and epilogue.
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
  sink = sink + 1;
}

class StackWalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sampleCount = 0;
    driverFrame = 0;
    struct sigaction action = {};
    action.sa_flags = SA_SIGINFO;
    action.sa_sigaction = OnFault;
    sigaction(SIGSEGV, &action, &oldFault_);
    action.sa_sigaction = OnTimer;
    sigaction(SIGALRM, &action, &oldTimer_);
  }
  void TearDown() override {
    if (timing_) timer_delete(timer_);
    signal(SIGALRM, SIG_IGN);  // drops a signal the timer left pending
    sigaction(SIGSEGV, &oldFault_, nullptr);
    sigaction(SIGALRM, &oldTimer_, nullptr);
  }
  // Runs `scenario` to its fault; the walk from there.
  static Sample Fault(void (*scenario)()) {
    if (sigsetjmp(afterFault, 1) == 0) WALKDRIVER(scenario);
    EXPECT_EQ(sampleCount, 1);
    return samples[0];
  }
  // SIGALRM every `interval` nanoseconds from now on.
  void StartTimer(long interval) {
    sigevent event = {};
    event.sigev_notify = SIGEV_SIGNAL;
    event.sigev_signo = SIGALRM;
    ASSERT_EQ(timer_create(CLOCK_MONOTONIC, &event, &timer_), 0);
    timing_ = true;
    const itimerspec every{{0, interval}, {0, interval}};
    ASSERT_EQ(timer_settime(timer_, 0, &every, nullptr), 0);
  }

  struct sigaction oldFault_ = {};
  struct sigaction oldTimer_ = {};
  timer_t timer_ = {};
  bool timing_ = false;
};

TEST_F(StackWalkTest, AFaultInARoutineWithoutAFrameNamesItsCallers) {
  const Sample sample = Fault(WALKMIDDLE);
  EXPECT_TRUE(sample.endsInStartup);
  EXPECT_EQ(Routines(sample), (std::vector<std::string>{"WALKLEAF", "WALKMIDDLE", "WALKDRIVER"}));
}

// As at a stack overflow: the walk stops after nine callers.
TEST_F(StackWalkTest, ADeepFaultWalksNineCallers) {
  const Sample sample = Fault(WALKDEEP);
  EXPECT_FALSE(sample.endsInStartup);
  ASSERT_EQ(sample.count, kMaxCallerLines);
  std::vector<std::string> routines(kMaxCallerLines + 1, "WALKRECURSE");
  routines.front() = "WALKLEAF";
  EXPECT_EQ(Routines(sample), routines);
}

// The walk starts in the C library's routines around the system call.
TEST_F(StackWalkTest, ASignalAtAWaitNamesTheWaitingRoutine) {
  StartTimer(20'000'000);
  WALKDRIVER(WALKWAIT);
  ASSERT_GE(sampleCount, 1);
  EXPECT_TRUE(samples[0].endsInStartup);
  std::vector<std::string> routines = Routines(samples[0]);
  while (!routines.empty() && !routines.front().starts_with("WALK"))
    routines.erase(routines.begin());
  EXPECT_EQ(routines, (std::vector<std::string>{"WALKWAIT", "WALKDRIVER"}));
}

// Signals land anywhere in a routine, in its prologue and its epilogue too:
// the unwind tables hold at every instruction.
TEST_F(StackWalkTest, ASignalAtAnyInstructionNamesTheCallers) {
#if defined(__arm__)
  GTEST_SKIP() << "ARM's exception tables tell a routine's state after its prologue only";
#endif
  StartTimer(100'000);
  WALKDRIVER(WALKSPIN);
  // From the innermost routine a signal can interrupt out to the driver.
  const std::vector<std::string> chain{"WALKNOTHING", "WALKFRAMED", "WALKSPIN", "WALKDRIVER"};
  for (int i = 0; i < kMaxSamples; ++i) {
    const std::vector<std::string> routines = Routines(samples[i]);
    ASSERT_LE(routines.size(), chain.size()) << "sample " << i;
    EXPECT_EQ(routines, std::vector<std::string>(chain.end() - routines.size(), chain.end()))
        << "sample " << i;
    EXPECT_TRUE(samples[i].endsInStartup) << "sample " << i;
  }
}

}  // namespace
