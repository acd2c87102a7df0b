// The screen demo in a tmux pane: the cells and colours the terminal shows,
// the cells the program never touched, the terminal's modes while it runs and
// after it ends, and a resize while it waits for a key.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"
#include "support/posix/TmuxSession.h"

namespace {

using namespace testing_support;

// Terminal colour numbers of the PC colours 0-15 (blue and red swap places).
constexpr int kTerminalColourOfPc[16] = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};
constexpr int kPcBlue = 1, kPcGreen = 2, kPcLightGray = 7, kPcYellow = 14, kPcWhite = 15;

// The demo's windows, in screen coordinates.
constexpr int kInnerLeft = 11, kInnerTop = 4, kInnerRight = 50, kInnerBottom = 12;
constexpr int kBottomTop = 20, kBottomBottom = 23;

const std::string kDots(78, '.');

std::string PrefillRow(int y) {
  return (y < 10 ? "0" : "") + std::to_string(y) + kDots;
}

class ScreenDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    // Rows 1-24 hold text of the shell's before the demo starts; what the
    // demo never writes must stay as it was.
    std::ostringstream script;
    script << "for i in $(seq -w 1 24); do printf '%s%s\\n' \"$i\" '" << kDots << "'; done\n"
           << "'" << SCREEN_DEMO << "'\n"
           << "status=$?\n"
           << "stty -a > '" << folder_.Path() << "/stty-after.txt'\n"
           << "printf after\n"
           // Held until Enter, so the screen is read before the pane ends.
           << "read -r line\n"
           << "exit $status\n";
    command_ = "sh '" + folder_.Write("run.sh", script.str()) + "'";
  }

  const std::string& Command() const { return command_; }
  TempFolder folder_;
  std::string command_;
};

void ExpectUntouched(const Screen& screen, int y, int left, int right) {
  const std::string row = PrefillRow(y);
  for (int x = left; x <= right; ++x) {
    const ScreenCell& cell = screen.At(x, y);
    EXPECT_EQ(cell.character, static_cast<char32_t>(row[static_cast<size_t>(x - 1)]))
        << "(" << x << ", " << y << ")";
    EXPECT_EQ(cell.foreground, kDefaultColour) << "(" << x << ", " << y << ")";
    EXPECT_EQ(cell.background, kDefaultColour) << "(" << x << ", " << y << ")";
  }
}

void ExpectColours(const Screen& screen, int left, int y, int length, int pcForeground,
                   int pcBackground) {
  for (int x = left; x < left + length; ++x) {
    EXPECT_EQ(screen.At(x, y).foreground, kTerminalColourOfPc[pcForeground])
        << "(" << x << ", " << y << ")";
    EXPECT_EQ(screen.At(x, y).background, kTerminalColourOfPc[pcBackground])
        << "(" << x << ", " << y << ")";
  }
}

TEST_F(ScreenDemo, DrawsWindowsWithColoursWrapAndScrollAndLeavesTheRestAlone) {
  TmuxSession session(Command());
  ASSERT_TRUE(session.WaitForText("Ready")) << session.Text();
  const Screen screen = session.Capture();

  // The inner window scrolled: lines 1-4 are gone, then the mixed-colour line,
  // then a 51-character line wrapped at the window's right edge.
  for (int line = 5; line <= 10; ++line) {
    const int y = kInnerTop + line - 5;
    EXPECT_EQ(
        screen.RowText(y, kInnerLeft, kInnerRight),
        "Line " + std::string(line < 10 ? " " : "") + std::to_string(line) + std::string(33, ' '));
    ExpectColours(screen, kInnerLeft, y, 40, kPcLightGray, kPcBlue);
  }
  EXPECT_EQ(screen.RowText(10, kInnerLeft, kInnerRight),
            "Plain bright plain árvíztűrő" + std::string(12, ' '));
  ExpectColours(screen, kInnerLeft, 10, 6, kPcLightGray, kPcBlue);
  ExpectColours(screen, kInnerLeft + 6, 10, 6, kPcWhite, kPcBlue);
  ExpectColours(screen, kInnerLeft + 12, 10, 28, kPcLightGray, kPcBlue);
  EXPECT_EQ(screen.RowText(11, kInnerLeft, kInnerRight),
            "0123456789012345678901234567890123456789");
  ExpectColours(screen, kInnerLeft, 11, 40, kPcYellow, kPcBlue);
  EXPECT_EQ(screen.RowText(12, kInnerLeft, kInnerRight), "wrapped-end" + std::string(29, ' '));
  // The row the wrap scrolled in is blank in the colours of that moment.
  ExpectColours(screen, kInnerLeft, 12, 40, kPcYellow, kPcBlue);

  // The full-width window scrolled within its own rows.
  for (int line = 4; line <= 6; ++line) {
    const int y = kBottomTop + line - 4;
    EXPECT_EQ(screen.RowText(y), "Bottom " + std::to_string(line) + std::string(72, ' '));
    ExpectColours(screen, 1, y, 80, kPcWhite, kPcGreen);
  }
  EXPECT_EQ(screen.RowText(kBottomBottom), "Ready" + std::string(75, ' '));
  ExpectColours(screen, 1, kBottomBottom, 80, kPcWhite, kPcGreen);

  for (int y = 1; y < kInnerTop; ++y) ExpectUntouched(screen, y, 1, 80);
  for (int y = kInnerTop; y <= kInnerBottom; ++y) {
    ExpectUntouched(screen, y, 1, kInnerLeft - 1);
    ExpectUntouched(screen, y, kInnerRight + 1, 80);
  }
  for (int y = kInnerBottom + 1; y < kBottomTop; ++y) ExpectUntouched(screen, y, 1, 80);
  ExpectUntouched(screen, kBottomBottom + 1, 1, 80);

  EXPECT_EQ(session.Cursor(), std::make_pair(6, kBottomBottom));
}

TEST_F(ScreenDemo, SetsTheKeyboardModesWhileRunningAndRestoresTheTerminalAfter) {
  TmuxSession session(Command());
  ASSERT_TRUE(session.WaitForText("Ready")) << session.Text();
  const ChildRun stty =
      RunChild({"sh", "-c", "stty -a < '" + session.TerminalPath() + "'"}, ChildStreams::kOutput);
  ASSERT_EQ(stty.status, 0);
  const std::string& during = stty.output;
  for (const char* setting : {"-icanon", "-echo", "-iexten", "-ixon", "-icrnl", "-inlcr", "isig"})
    EXPECT_TRUE(HasSetting(during, setting)) << setting << " in\n" << during;
  EXPECT_NE(during.find("susp = <undef>"), std::string::npos) << during;
  EXPECT_NE(during.find("quit = <undef>"), std::string::npos) << during;
  EXPECT_NE(during.find("intr = ^C"), std::string::npos) << during;

  session.SendText("x");
  ASSERT_TRUE(session.WaitForText("after")) << session.Text();
  const Screen screen = session.Capture();
  // The last page stays; the key was read; the shell's text after the program
  // stands where the program left the cursor, in the terminal's own colours.
  EXPECT_EQ(screen.RowText(kBottomBottom, 1, 16), "Ready key xafter");
  ExpectColours(screen, 1, kBottomBottom, 11, kPcWhite, kPcGreen);
  for (int x = 12; x <= 16; ++x) {
    EXPECT_EQ(screen.At(x, kBottomBottom).foreground, kDefaultColour) << x;
    EXPECT_EQ(screen.At(x, kBottomBottom).background, kDefaultColour) << x;
  }
  EXPECT_EQ(screen.RowText(kInnerBottom, kInnerLeft, kInnerLeft + 10), "wrapped-end");

  const std::string after = folder_.Read("stty-after.txt");
  for (const char* setting : {"icanon", "echo", "iexten", "ixon", "icrnl", "isig"})
    EXPECT_TRUE(HasSetting(after, setting)) << setting << " in\n" << after;
  EXPECT_NE(after.find("susp = ^Z"), std::string::npos) << after;
  EXPECT_NE(after.find("quit = ^\\"), std::string::npos) << after;

  // Line input works again: the shell's read ends at Enter.
  session.SendKeys({"Enter"});
  EXPECT_EQ(session.WaitForExit(), 0);
}

// The cells of the demo's two windows, text and colours.
std::vector<ScreenCell> WindowCells(const Screen& screen) {
  std::vector<ScreenCell> cells;
  for (int y = kInnerTop; y <= kInnerBottom; ++y)
    for (int x = kInnerLeft; x <= kInnerRight; ++x) cells.push_back(screen.At(x, y));
  for (int y = kBottomTop; y <= kBottomBottom; ++y)
    for (int x = 1; x <= 80; ++x) cells.push_back(screen.At(x, y));
  return cells;
}

TEST_F(ScreenDemo, ResizesWhileWaitingForAKeyKeepThePageAndTheTerminalsOwnColours) {
  const struct {
    const char* name;
    std::vector<std::pair<int, int>> sizes;  // the last one at least 80 by 25
    // Cells the program never drew, beside, below and right of its windows.
    std::vector<std::pair<int, int>> outside;
  } cases[] = {
      {"grows", {{100, 30}}, {{1, kInnerBottom + 1}, {100, 30}, {100, kBottomTop}}},
      {"shrinks and grows back", {{60, 15}, {40, 10}, {80, 25}}, {{1, kInnerBottom + 1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TmuxSession session(Command());
    ASSERT_TRUE(session.WaitForText("Ready")) << session.Text();
    const std::vector<ScreenCell> page = WindowCells(session.Capture());
    for (const auto& [width, height] : c.sizes) {
      session.Resize(width, height);
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const bool redrawn =
        session.WaitForScreen([&page](const Screen& screen) { return WindowCells(screen) == page; },
                              std::chrono::seconds(5));
    EXPECT_TRUE(redrawn) << session.Text();
    const Screen screen = session.Capture();
    // The terminal's own colours stay where the program never drew.
    for (const auto& [x, y] : c.outside) {
      EXPECT_EQ(screen.At(x, y).foreground, kDefaultColour) << "(" << x << ", " << y << ")";
      EXPECT_EQ(screen.At(x, y).background, kDefaultColour) << "(" << x << ", " << y << ")";
    }
    EXPECT_EQ(session.Cursor(), std::make_pair(6, kBottomBottom));

    session.SendText("y");
    ASSERT_TRUE(session.WaitForText("after")) << session.Text();
    EXPECT_EQ(session.Capture().RowText(kBottomBottom, 1, 16), "Ready key yafter");
    session.SendKeys({"Enter"});
    EXPECT_EQ(session.WaitForExit(), 0);
  }
}

}  // namespace
