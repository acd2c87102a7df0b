// Full key events end to end: a program reading keys with ReadKey runs on a
// pseudo-terminal whose other side plays a terminal: it answers the start-up
// queries as a kitty, a win32-input-mode, a plain xterm or a silent terminal
// would, sends key events, and watches the program turn the key reporting on
// and, on every way out, off again, the keypad back in the mode the terminal
// said it found, with the terminal settings restored. The program itself is
// interrupted there by Ctrl+C sent as a key event.
#include <gtest/gtest.h>
#include <signal.h>
#include <termios.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FakeTerminal.h"
#include "e2e/program/ProgramTexts.h"
#include "support/ReportCheck.h"

namespace {

using namespace std::chrono_literals;

TEST(ModernKeysE2ETest, KittyAltWithKeypadDigitsGivesOneCharacter) {
  FakeTerminal terminal(Answers::kKitty, "2");
  ASSERT_TRUE(terminal.Started());
  ASSERT_TRUE(terminal.WaitReady());
  ASSERT_NE(terminal.Output().find(kKittyPush), std::string::npos);
  EXPECT_EQ(terminal.Output().find(kWin32InputOn), std::string::npos);
  // While the program runs its settings are its own, not the shell's.
  EXPECT_FALSE(terminal.SettingsRestored());
  terminal.Type("\x1b[57443;131u");                   // Alt down, Num Lock on
  terminal.Type("\x1b[57405;131u\x1b[57405;131:3u");  // keypad 6
  terminal.Type("\x1b[57404;131u\x1b[57404;131:3u");  // keypad 5
  EXPECT_TRUE(terminal.Codes().empty());              // composed, never delivered digit by digit
  terminal.Type("\x1b[57443;129:3u");                 // Alt up
  terminal.Type("\x1b[1;5P");                         // Ctrl+F1: the Ctrl row, from real state
  EXPECT_EQ(terminal.WaitExit(), 0);
  EXPECT_EQ(terminal.Codes(), (std::vector<int>{65, 0}));
  ExpectTurnedOnAndOff(terminal.Output(), kKittyPush, kKittyPop);
  EXPECT_TRUE(terminal.SettingsRestored());
}

TEST(ModernKeysE2ETest, KittyLoneModifiersAndReleasesEndNoWait) {
  FakeTerminal terminal(Answers::kKitty, "1");
  ASSERT_TRUE(terminal.Started());
  ASSERT_TRUE(terminal.WaitReady());
  for (const std::string key : {
           "\x1b[57441;2u", "\x1b[57441;1:3u",    // Shift
           "\x1b[57442;5u", "\x1b[57442;1:3u",    // Ctrl
           "\x1b[57443;3u", "\x1b[57443;1:3u",    // Alt
           "\x1b[57358;65u", "\x1b[57358;1:3u",   // Caps Lock
           "\x1b[57360;129u", "\x1b[57360;1:3u",  // Num Lock
           "\x1b[120;1:3u",                       // the release of x
       })
    terminal.Type(key, 20ms);
  EXPECT_TRUE(terminal.Codes().empty());
  terminal.Type("\x1b[107u");
  EXPECT_EQ(terminal.WaitExit(), 0);
  EXPECT_EQ(terminal.Codes(), std::vector<int>{'k'});
}

TEST(ModernKeysE2ETest, Win32InputAltWithKeypadDigitsGivesOneCharacter) {
  FakeTerminal terminal(Answers::kWin32Input, "2");
  ASSERT_TRUE(terminal.Started());
  ASSERT_TRUE(terminal.WaitReady());
  ASSERT_NE(terminal.Output().find(kWin32InputOn), std::string::npos);
  EXPECT_EQ(terminal.Output().find(kKittyPush), std::string::npos);
  terminal.Type("\x1b[18;56;0;1;34;1_");                        // Alt down
  terminal.Type("\x1b[102;77;0;1;34;1_\x1b[102;77;0;0;34;1_");  // keypad 6
  terminal.Type("\x1b[101;76;0;1;34;1_\x1b[101;76;0;0;34;1_");  // keypad 5
  terminal.Type("\x1b[16;42;0;1;48;1_\x1b[16;42;0;0;32;1_");    // a lone Shift
  EXPECT_TRUE(terminal.Codes().empty());
  terminal.Type("\x1b[18;56;65;0;32;1_");                         // Alt up
  terminal.Type("\x1b[81;16;113;1;32;1_\x1b[81;16;113;0;32;1_");  // q
  EXPECT_EQ(terminal.WaitExit(), 0);
  EXPECT_EQ(terminal.Codes(), (std::vector<int>{65, 'q'}));
  ExpectTurnedOnAndOff(terminal.Output(), kWin32InputOn, kWin32InputOff);
  EXPECT_TRUE(terminal.SettingsRestored());
}

TEST(ModernKeysE2ETest, TerminalsWithoutFullKeyEventsKeepTheLegacyKeys) {
  for (const Answers answers : {Answers::kNone, Answers::kAttributesOnly}) {
    SCOPED_TRACE(static_cast<int>(answers));
    FakeTerminal terminal(answers, "4");
    ASSERT_TRUE(terminal.Started());
    ASSERT_TRUE(terminal.WaitReady());
    // The wait for answers that never come is short; an answer ends it at once.
    EXPECT_LT(terminal.StartUp(), answers == Answers::kNone ? 1000ms : 500ms);
    terminal.Type("\x1b[A");  // Up
    terminal.Type("\x1bx");   // Alt+x
    EXPECT_EQ(terminal.WaitExit(), 0);
    EXPECT_EQ(terminal.Codes(), (std::vector<int>{0, 72, 0, 45}));
    EXPECT_NE(terminal.Output().find(kQueries), std::string::npos);
    for (const std::string_view mode : {kKittyPush, kKittyPop, kWin32InputOn, kWin32InputOff})
      EXPECT_EQ(terminal.Output().find(mode), std::string::npos);
    EXPECT_TRUE(terminal.SettingsRestored());
  }
}

// Checks that the last keypad sequence in `output`, sent after the one that
// set application mode, is `found`.
void ExpectKeypadLeftIn(const std::string& output, std::string_view found) {
  const std::size_t setAt = output.find(kKeypadApplication);
  ASSERT_NE(setAt, std::string::npos);
  const std::size_t application = output.rfind(kKeypadApplication);
  const std::size_t numeric = output.rfind(kKeypadNumeric);
  const std::size_t last = numeric == std::string::npos ? application
                           : application == setAt       ? numeric
                                                        : std::max(application, numeric);
  EXPECT_GT(last, setAt);
  EXPECT_EQ(output.substr(last, 2), found);
}

TEST(ModernKeysE2ETest, EveryWayOutTurnsTheKeyReportingOffAndGivesTheKeypadItsModeBack) {
  const struct {
    const char* name;
    Answers answers;
    const char* ending;
    std::string lastKey;  // empty: the program is sent SIGTERM instead
    std::string_view on;  // empty: no key reporting to turn on
    std::string_view off;
    std::string_view keypadFound;  // the keypad's mode the terminal said it found
  } cases[] = {
      {"kitty, fatal error", Answers::kKitty, "fatal", "\x1b[107u", kKittyPush, kKittyPop,
       kKeypadNumeric},
      {"kitty, Ctrl+C", Answers::kKitty, "normal", "\x1b[99;5u", kKittyPush, kKittyPop,
       kKeypadNumeric},
      {"kitty, SIGTERM", Answers::kKitty, "normal", "", kKittyPush, kKittyPop, kKeypadNumeric},
      {"win32, fatal error", Answers::kWin32Input, "fatal", "\x1b[75;37;107;1;0;1_", kWin32InputOn,
       kWin32InputOff, kKeypadNumeric},
      {"win32, Ctrl+C", Answers::kWin32Input, "normal", "\x1b[67;46;3;1;8;1_", kWin32InputOn,
       kWin32InputOff, kKeypadNumeric},
      {"keypad in application mode, fatal error",
       Answers::kKeypadApplication,
       "fatal",
       "k",
       {},
       {},
       kKeypadApplication},
      {"keypad in application mode, Ctrl+C",
       Answers::kKeypadApplication,
       "normal",
       "\x03",
       {},
       {},
       kKeypadApplication},
      {"keypad in application mode, SIGTERM",
       Answers::kKeypadApplication,
       "normal",
       "",
       {},
       {},
       kKeypadApplication},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTerminal terminal(c.answers, "1", c.ending);
    ASSERT_TRUE(terminal.Started());
    ASSERT_TRUE(terminal.WaitReady());
    if (c.lastKey.empty())
      kill(terminal.Pid(), SIGTERM);
    else
      terminal.Type(c.lastKey);
    // An exit of its own, not the signal's.
    EXPECT_NE(terminal.WaitExit().value_or(0), 0);
    EXPECT_TRUE(terminal.Codes().empty() || std::string(c.ending) == "fatal");
    if (!c.on.empty()) ExpectTurnedOnAndOff(terminal.Output(), c.on, c.off);
    ExpectKeypadLeftIn(terminal.Output(), c.keypadFound);
    EXPECT_TRUE(terminal.SettingsRestored());
  }
}

// Where ReadKey's line stands among the report's location lines; past them when it is not there.
std::size_t ReadKeyAt(const testing_support::Report& report) {
  std::size_t at = 0;
  while (at < report.locations.size() && report.locations[at].routine != "ReadKey") ++at;
  return at;
}

// Ctrl+C at a wait, as a key event, ends the run as the terminal's own Ctrl+C
// does: with 217 and a report that walks from the wait through ReadKey, the
// page routines and the phase to main and the start-up code.
TEST(ModernKeysE2ETest, CtrlCAsAKeyEventGivesTheReportOfTheTerminalsOwnCtrlC) {
  const struct {
    const char* name;
    Answers answers;
    std::string ctrlC;
  } cases[] = {
      {"the terminal's own Ctrl+C", Answers::kAttributesOnly, "\x03"},
      {"kitty", Answers::kKitty, "\x1b[99;5u"},
      {"win32-input-mode", Answers::kWin32Input, "\x1b[67;46;3;1;8;1_"},
  };
  std::optional<testing_support::Report> own;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::TempFolder folder;
    folder.CopySample(kDefaultFile);
    FakeTerminalRun run(c.answers, folder);
    ASSERT_TRUE(
        run.ReadUntil([&] { return run.Output().find("3x4_1,1x3,3):") != std::string::npos; }));
    ASSERT_TRUE(run.Send("\r"));
    ASSERT_TRUE(run.ReadUntil([&] { return run.Output().find("A beolvas") != std::string::npos; }));
    run.Drain(300ms);  // on to the wait after the matrix
    ASSERT_TRUE(run.Send(c.ctrlC));
    EXPECT_EQ(run.WaitExit(), 217);
    const std::optional<testing_support::Report> report =
        testing_support::ParseReport(run.Report());
    ASSERT_TRUE(report.has_value()) << run.Output();
    const std::vector<testing_support::ReportLocation>& locations = report->locations;
    const std::size_t readKey = ReadKeyAt(*report);
    ASSERT_LT(readKey, locations.size()) << run.Report();
    std::string callers;
    for (std::size_t at = readKey; at < locations.size(); ++at)
      callers += (locations[at].routine.empty() ? "?" : locations[at].routine) + " ";
    EXPECT_EQ(callers, "ReadKey BILLREVAR KIIRMATRIX BEOLVAS main ? ") << run.Report();
    EXPECT_EQ(locations[readKey].file, "console/Keyboard.cpp");
    if (!own) {
      own = report;
      continue;
    }
    // The wait's place is named, and the callers' return points are the
    // same as at the terminal's own Ctrl+C.
    EXPECT_NE(locations.front().routine, "") << run.Report();
    const std::size_t ownReadKey = ReadKeyAt(*own);
    ASSERT_EQ(locations.size() - readKey, own->locations.size() - ownReadKey);
    for (std::size_t at = readKey + 1, ownAt = ownReadKey + 1; at < locations.size();
         ++at, ++ownAt) {
      EXPECT_EQ(locations[at].address, own->locations[ownAt].address) << locations[at].routine;
      EXPECT_EQ(locations[at].line, own->locations[ownAt].line) << locations[at].routine;
    }
  }
}

}  // namespace
