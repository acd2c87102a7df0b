// The terminal is given back on every way out: the key_codes program runs on a
// pseudo-terminal whose other side plays the terminal, and is sent signals at a
// wait, during its report and during the start-up negotiation, is stopped and
// continued, and ends while a key is still held; the program itself runs on a
// terminal far larger than its grid. The terminal's settings are read before
// and after, and the sequences that undo each mode are looked for.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "FakeTerminal.h"
#include "e2e/program/ProgramTexts.h"

namespace {

using namespace std::chrono_literals;

// Checks that every mode the program turned on was turned off after its last switch on.
void ExpectEveryModeTurnedOff(const std::string& output) {
  for (const auto& [on, off] :
       {std::pair{kKeypadApplication, kKeypadNumeric}, std::pair{kKittyPush, kKittyPop}}) {
    const std::size_t onAt = output.rfind(on);
    if (onAt != std::string::npos) {
      EXPECT_NE(output.find(off, onAt), std::string::npos) << off;
    }
  }
}

// Checks that `output` holds one whole report of error `code`, written after
// the terminal was given back: its first line, at least a location line, and
// an empty last line.
void ExpectOneWholeReport(const std::string& output, int code) {
  const std::string first = "Runtime error " + std::to_string(code) + " at $";
  const std::size_t at = output.find("Runtime error ");
  ASSERT_NE(at, std::string::npos) << output;
  EXPECT_EQ(output.compare(at, first.size(), first), 0) << output.substr(at);
  EXPECT_EQ(output.find("Runtime error ", at + 1), std::string::npos) << output.substr(at);
  const std::size_t restoredAt = output.rfind(kKeypadNumeric);
  if (restoredAt != std::string::npos) {
    EXPECT_GT(at, restoredAt);
  }
  std::string report;
  for (char c : output.substr(at))
    if (c != '\r') report += c;
  EXPECT_TRUE(report.ends_with("\n\n")) << report;
  EXPECT_GE(std::count(report.begin(), report.end(), '\n'), 3) << report;
}

std::vector<int> Burst(int count) {
  std::vector<int> signals;
  for (int i = 0; i < count; ++i) signals.push_back(i % 2 == 0 ? SIGINT : SIGTERM);
  return signals;
}

TEST(LifecycleE2ETest, EverySignalThatEndsTheRunGivesOneWholeReportAndTheTerminalBack) {
  const struct {
    const char* name;
    Answers answers;
    bool duringStartUp;  // sent once the start-up queries are out, before any answer
    std::vector<int> signals;
    std::chrono::microseconds gap;
    int runs;
    int status;
  } cases[] = {
      {"a burst of SIGINT and SIGTERM", Answers::kKitty, false, Burst(400), 5us, 5, 217},
      {"a second SIGINT during the report",
       Answers::kKitty,
       false,
       {SIGINT, SIGINT},
       200us,
       1,
       217},
      {"SIGHUP", Answers::kAttributesOnly, false, {SIGHUP}, 0us, 1, 217},
      {"SIGUSR1", Answers::kKitty, false, {SIGUSR1}, 0us, 1, 255},
      {"SIGALRM", Answers::kAttributesOnly, false, {SIGALRM}, 0us, 1, 255},
      {"SIGTERM during an unanswered negotiation", Answers::kNone, true, {SIGTERM}, 0us, 1, 217},
  };
  for (const auto& c : cases) {
    for (int run = 0; run < c.runs; ++run) {
      SCOPED_TRACE(std::string(c.name) + ", run " + std::to_string(run));
      FakeTerminal terminal(c.answers, "1");
      ASSERT_TRUE(terminal.Started());
      if (c.duringStartUp) {
        while (terminal.Output().find(kQueries) == std::string::npos) terminal.Drain(5ms);
      } else {
        ASSERT_TRUE(terminal.WaitReady());
      }
      for (int signal : c.signals) {
        kill(terminal.Pid(), signal);
        std::this_thread::sleep_for(c.gap);
      }
      EXPECT_EQ(terminal.WaitExit(), c.status);
      EXPECT_TRUE(terminal.SettingsRestored());
      ExpectEveryModeTurnedOff(terminal.Output());
      ExpectOneWholeReport(terminal.Output(), c.status);
    }
  }
}

TEST(LifecycleE2ETest, StopGivesTheTerminalBackAndContinueTakesItAgainAndRedraws) {
  const struct {
    const char* name;
    int stop;
    bool lineInput;
  } cases[] = {
      {"SIGTSTP at a key wait", SIGTSTP, false},
      {"SIGTSTP during line input", SIGTSTP, true},
      {"SIGSTOP during line input", SIGSTOP, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTerminal terminal(Answers::kAttributesOnly, c.lineInput ? "line" : "1");
    ASSERT_TRUE(terminal.Started());
    ASSERT_TRUE(terminal.WaitReady());
    if (c.lineInput) terminal.Type("ab");
    kill(terminal.Pid(), c.stop);
    ASSERT_TRUE(terminal.WaitStopped());
    const std::size_t stoppedAt = terminal.Output().size();
    if (c.stop == SIGTSTP) {
      EXPECT_TRUE(terminal.SettingsRestored());
      EXPECT_NE(terminal.Output().rfind(kKeypadNumeric), std::string::npos);
    }
    // The shell takes the terminal while the job is stopped.
    terminal.RestoreSettings();
    kill(terminal.Pid(), SIGCONT);
    terminal.Drain(200ms);
    EXPECT_FALSE(terminal.SettingsRestored());
    const std::string afterContinue = terminal.Output().substr(stoppedAt);
    EXPECT_NE(afterContinue.find(kKeypadApplication), std::string::npos);
    if (c.lineInput) {
      EXPECT_NE(afterContinue.find("ab"), std::string::npos) << afterContinue;
      // Enter arrives as CR again and ends the line.
      terminal.Type("c");
      terminal.Type("\r");
    } else {
      terminal.Type("k");
    }
    EXPECT_EQ(terminal.WaitExit(), 0);
    EXPECT_EQ(terminal.Codes(),
              c.lineInput ? (std::vector<int>{'a', 'b', 'c'}) : std::vector<int>{'k'});
    EXPECT_TRUE(terminal.SettingsRestored());
    ExpectEveryModeTurnedOff(terminal.Output());
  }
}

TEST(LifecycleE2ETest, TheReleaseOfTheLastKeyIsTakenAndTextTypedLaterIsLeftForTheShell) {
  FakeTerminal terminal(Answers::kKitty, "2");
  ASSERT_TRUE(terminal.Started());
  ASSERT_TRUE(terminal.WaitReady());
  ASSERT_TRUE(terminal.Send("\x1b[1;1C"));  // Right pressed: the program's last key
  terminal.Drain(30ms);
  ASSERT_TRUE(terminal.Send("\x1b[1;1:3C"));  // and released while the program ends
  for (int wait = 0; wait < 100 && terminal.Output().find(kKittyPop) == std::string::npos; ++wait)
    terminal.Drain(10ms);
  ASSERT_TRUE(terminal.Send("x"));
  EXPECT_EQ(terminal.WaitExit(), 0);
  EXPECT_EQ(terminal.Codes(), (std::vector<int>{0, 77}));
  EXPECT_TRUE(terminal.SettingsRestored());
  EXPECT_EQ(terminal.UnreadInput(), "x");
}

// A terminal far larger than the grid's bound, at start-up or after a resize
// at a wait, is drawn within the bound, and the run ends normally.
TEST(LifecycleE2ETest, ATerminalBeyondTheGridsBoundIsDrawnWithinItAndTheRunGoesOn) {
  const struct {
    const char* name;
    std::string startSize;  // for stty; empty: 80 by 25
    bool resizeAtAWait;
  } cases[] = {
      {"50000 by 50000 at start-up", "rows 50000 cols 50000", false},
      {"resized to 50000 by 50000 at a wait", "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::TempFolder folder;
    folder.CopySample(kDefaultFile);
    FakeTerminalRun run(Answers::kAttributesOnly, folder, c.startSize);
    ASSERT_TRUE(run.ReadUntil([&] {
      return run.Output().find("3x4_1,1x3,3):") != std::string::npos;
    })) << run.Output();
    ASSERT_TRUE(run.Send("\r"));
    ASSERT_TRUE(run.ReadUntil([&] { return run.Output().find("A beolvas") != std::string::npos; }));
    if (c.resizeAtAWait) {
      run.Drain(200ms);
      run.Resize(50000, 50000);
    }
    run.Drain(200ms);
    for (int wait = 0; wait < 3; ++wait) {
      ASSERT_TRUE(run.Send(" "));
      run.Drain(300ms);
    }
    EXPECT_EQ(run.WaitExit(), 0) << run.Report();
    EXPECT_TRUE(run.SettingsRestored());
  }
}

}  // namespace
