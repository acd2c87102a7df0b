// Keys typed on a keyboard, as X key events, into the program running in kitty
// and in xterm: the Hungarian layout's characters, the line editor, an arrow
// ending two waits, lone modifiers and Alt with keypad digits, and the terminal
// handed back as it was; one run in every terminal tried (kitty, xterm,
// rxvt-unicode, st, sakura, alacritty, mlterm, GNU screen inside xterm), judged
// by what the program does and the state it leaves the terminal in; a whole
// run in each terminal and under each TERM that once showed it wrong, pixel
// for pixel as under a TERM without an entry; and into the Windows build in
// wine's console window, which gives it the console's own key records.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "X11Terminal.h"
#include "e2e/program/PageCheck.h"
#include "e2e/program/ProgramTexts.h"

namespace {

using namespace std::chrono_literals;

// The last row of the default matrix, on row 9 of a reading page with two prompts.
const std::string kLastMatrixRow = "   3   1  -1   3  -2";
const std::string kResultTitleRow = std::string(9, ' ') + kResultTitle + "3x4_1,1x3,3";

class EmulatorTest : public ::testing::TestWithParam<Emulator> {
 protected:
  void SetUp() override {
    const std::string missing = X11Terminal::Missing(GetParam());
    if (!missing.empty()) GTEST_SKIP() << "No terminal emulator to run in: " << missing;
    folder_.CopySample(kDefaultFile);
  }

  TempFolder folder_;
};

TEST_P(EmulatorTest, HungarianLayoutTypesItsOwnCharactersAndTheTerminalIsHandedBack) {
  std::filesystem::create_directory(folder_.Path() + "/ék");
  folder_.Write("ék/őrtűz.dat", folder_.Read(kDefaultFile));
  X11Terminal terminal(GetParam(), folder_, "hu");
  ASSERT_TRUE(terminal.Started());
  ASSERT_TRUE(terminal.WaitForRow(2, kPrompt)) << terminal.Text();
  // Shift+6 types '/' on the Hungarian layout ('^' on the US one).
  terminal.Type("ék");
  terminal.Key({"shift+6"});
  terminal.Type("őrtűz");
  terminal.Key({"Return"});
  ASSERT_TRUE(terminal.WaitForRow(3, kReadingDone)) << terminal.Text();
  EXPECT_EQ(terminal.Row(2), kPrompt + "ék/őrtűz");

  // The three waits, then the terminal's settings as they were, kitty's key
  // reporting popped and nothing of the program's keys left in its input.
  terminal.Key({"Return", "Return", "Return"});
  EXPECT_EQ(terminal.WaitForEnd(), 0) << terminal.Text();
  EXPECT_EQ(terminal.ModesAfter(), terminal.ModesBefore());
  terminal.Type("z");
  terminal.Key({"Return"});
  EXPECT_EQ(terminal.LineAfterEnd(), "z");
}

TEST_P(EmulatorTest, LineEditorOverwritesAndAnArrowEndsTwoWaits) {
  X11Terminal terminal(GetParam(), folder_, "us");
  ASSERT_TRUE(terminal.Started());
  ASSERT_TRUE(terminal.WaitForRow(2, kPrompt)) << terminal.Text();
  terminal.Type("abc");
  terminal.Key({"Left", "Left"});
  terminal.Type("X");
  terminal.Key({"Return"});
  ASSERT_TRUE(terminal.WaitForRow(3, kPrompt)) << terminal.Text();
  EXPECT_EQ(terminal.Row(2), kPrompt + "aXc");

  terminal.Key({"Return"});
  ASSERT_TRUE(terminal.WaitForRow(9, kLastMatrixRow)) << terminal.Text();
  // The wait after the matrix and the one after the partial sums.
  terminal.Key({"Down"});
  EXPECT_TRUE(terminal.WaitForRow(1, kResultTitleRow)) << terminal.Text();
}

INSTANTIATE_TEST_SUITE_P(Emulators, EmulatorTest,
                         testing::Values(Emulator::kKitty, Emulator::kXterm),
                         [](const testing::TestParamInfo<Emulator>& info) {
                           return EmulatorName(info.param);
                         });

// A run judged by what the program does, as not every terminal can tell its
// cells: the file it opens, its exit status, and the terminal it leaves.
class EveryTerminalTest : public ::testing::TestWithParam<Emulator> {
 protected:
  void SetUp() override {
    const std::string missing = X11Terminal::Missing(GetParam());
    if (!missing.empty()) GTEST_SKIP() << "No terminal emulator to run in: " << missing;
    // The one matrix file there: any other name typed is asked for again, and
    // the default name opens nothing.
    folder_.CopySample(kDefaultFile);
    std::filesystem::rename(folder_.Path() + "/" + kDefaultFile, folder_.Path() + "/YXZ.dat");
  }

  TempFolder folder_;
};

TEST_P(EveryTerminalTest, LineEditorAndF1RunTheProgramAndTheTerminalIsLeftAsFound) {
  X11Terminal terminal(GetParam(), folder_, "us");
  ASSERT_TRUE(terminal.Started());
  ASSERT_TRUE(terminal.WaitForProgramStart());
  std::this_thread::sleep_for(500ms);
  // Typing overwrites: "ab", Left, X gives "aX"; Home, Y gives "YX"; End, Z gives "YXZ".
  terminal.Type("ab");
  terminal.Key({"Left"});
  terminal.Type("X");
  terminal.Key({"Home"});
  terminal.Type("Y");
  terminal.Key({"End"});
  terminal.Type("Z");
  terminal.Key({"Return"});
  std::this_thread::sleep_for(1s);
  // F1 at the first wait ends the second too; Enter then ends the third, the last.
  terminal.Key({"F1"});
  std::this_thread::sleep_for(500ms);
  terminal.Key({"Return"});
  EXPECT_EQ(terminal.WaitForEnd(), 0) << terminal.Text();
  EXPECT_EQ(folder_.Read("err"), "");

  // The terminal as found: its settings, its modes (the keypad's application
  // mode, set before the run, among them) and nothing left in its input.
  EXPECT_EQ(terminal.ModesAfter(), terminal.ModesBefore());
  EXPECT_NE(terminal.AnswersBefore(), "") << "not even the device attributes answered";
  EXPECT_EQ(terminal.AnswersAfter(), terminal.AnswersBefore());
  terminal.Type("z");
  terminal.Key({"Return"});
  EXPECT_EQ(terminal.LineAfterEnd(), "z");
}

INSTANTIATE_TEST_SUITE_P(Terminals, EveryTerminalTest,
                         testing::Values(Emulator::kKitty, Emulator::kXterm, Emulator::kUrxvt,
                                         Emulator::kSt, Emulator::kSakura, Emulator::kAlacritty,
                                         Emulator::kMlterm, Emulator::kScreen),
                         [](const testing::TestParamInfo<Emulator>& info) {
                           return EmulatorName(info.param);
                         });

// A terminal, and the TERM the program is run under (empty: as the terminal sets it).
struct Look {
  Emulator emulator;
  std::string term;
};
void PrintTo(const Look& look, std::ostream* out) {
  *out << EmulatorName(look.emulator) << " with TERM "
       << (look.term.empty() ? "its own" : look.term);
}

// The window's pixels at each stop of a whole 9x9 run under TERM `term`: the
// prompt, the name typed, the three waits and the end; fewer where it failed.
std::vector<Picture> PicturesOfARun(Emulator emulator, const std::string& term) {
  TempFolder folder;
  folder.CopySample("9x9.dat");
  X11Terminal terminal(emulator, folder, "us", term);
  std::vector<Picture> pictures;
  if (!terminal.Started() || !terminal.WaitForProgramStart()) return pictures;
  // Past the first page's pause and the wait for the terminal's answers.
  std::this_thread::sleep_for(1s);
  pictures.push_back(terminal.SettledPicture());
  terminal.Type("9x9");
  pictures.push_back(terminal.SettledPicture(pictures.back()));
  for (int wait = 1; wait <= 3; ++wait) {
    terminal.Key({"Return"});
    pictures.push_back(terminal.SettledPicture(pictures.back()));
  }
  terminal.Key({"Return"});
  if (terminal.WaitForEnd() == 0) pictures.push_back(terminal.SettledPicture());
  return pictures;
}

// The pixel at the centre of cell (`column`, `row`) of an 80 by 25 window.
std::string CellCentre(const Picture& picture, int column, int row) {
  const int x = (2 * column - 1) * picture.width / 160;
  const int y = (2 * row - 1) * picture.height / 50;
  return picture.rgb.substr(static_cast<size_t>(y * picture.width + x) * 3, 3);
}

class LookTest : public ::testing::TestWithParam<Look> {
 protected:
  void SetUp() override {
    const std::string missing = X11Terminal::Missing(GetParam().emulator);
    if (!missing.empty()) GTEST_SKIP() << "No terminal emulator to run in: " << missing;
  }
};

TEST_P(LookTest, EveryStopOfARunLooksAsUnderATermWithoutAnEntry) {
  const char* const stops[] = {"the prompt",      "the name typed", "the first wait",
                               "the second wait", "the third wait", "the end"};
  const std::vector<Picture> ours = PicturesOfARun(GetParam().emulator, GetParam().term);
  const std::vector<Picture> safe = PicturesOfARun(GetParam().emulator, "no-such-terminal");
  ASSERT_EQ(ours.size(), std::size(stops));
  ASSERT_EQ(safe.size(), std::size(stops));
  for (size_t stop = 0; stop < std::size(stops); ++stop)
    EXPECT_TRUE(ours[stop] == safe[stop]) << stops[stop];
  // The cursor shows where the name goes, on the prompt's row, beside its blank end.
  const int promptLength = static_cast<int>(
      std::count_if(kPrompt.begin(), kPrompt.end(), [](char c) { return (c & 0xC0) != 0x80; }));
  EXPECT_NE(CellCentre(ours[0], promptLength + 1, 2), CellCentre(ours[0], promptLength + 3, 2));
}

INSTANTIATE_TEST_SUITE_P(Terminals, LookTest,
                         testing::Values(Look{Emulator::kAlacritty, ""}, Look{Emulator::kXterm, ""},
                                         Look{Emulator::kMlterm, ""}, Look{Emulator::kScreen, ""},
                                         Look{Emulator::kScreen, "xterm-256color"},
                                         Look{Emulator::kKitty, "xterm-256color"}),
                         [](const testing::TestParamInfo<Look>& info) {
                           std::string name = EmulatorName(info.param.emulator);
                           if (!info.param.term.empty()) name += "_with_" + info.param.term;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

// kitty reports every key, lone modifiers and releases included.
TEST(KittyTest, AltWithKeypadDigitsTypesACharacterAndLoneModifiersDoNotEndAWait) {
  const std::string missing = X11Terminal::Missing(Emulator::kKitty);
  if (!missing.empty()) GTEST_SKIP() << "No terminal emulator to run in: " << missing;
  TempFolder folder;
  folder.CopySample(kDefaultFile);
  X11Terminal terminal(Emulator::kKitty, folder, "us");
  ASSERT_TRUE(terminal.Started());
  ASSERT_TRUE(terminal.WaitForRow(2, kPrompt)) << terminal.Text();
  terminal.KeyWith("alt", {"KP_6", "KP_5"});
  terminal.Key({"Return"});
  ASSERT_TRUE(terminal.WaitForRow(3, kPrompt)) << terminal.Text();
  EXPECT_EQ(terminal.Row(2), kPrompt + "A");

  terminal.Key({"Return"});
  ASSERT_TRUE(terminal.WaitForRow(9, kLastMatrixRow)) << terminal.Text();
  // The page as kitty shows it, colours too: blanks go out as repeats here.
  const testing_support::Screen page = terminal.KittyCells();
  ExpectPageBackground(page);
  ExpectMatrixColours(page, 6, 3);
  terminal.Key({"Shift_L", "Control_L", "Alt_L", "Caps_Lock", "Caps_Lock"});
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(terminal.Row(11), "") << terminal.Text();
  terminal.Key({"space"});
  EXPECT_TRUE(terminal.WaitForRow(11, kPartialSums)) << terminal.Text();
}

// A lone Shift at a wait, Alt held while keypad digits are typed, and keypad
// '/': keys that only a console's key records carry.
TEST(WineConsoleTest, LoneShiftAltWithKeypadDigitsAndKeypadSlash) {
  const std::string missing = X11Terminal::Missing(Emulator::kWineConsole);
  if (!missing.empty()) GTEST_SKIP() << "No wine console to run in: " << missing;
  TempFolder folder;
  folder.CopySample(kDefaultFile);
  X11Terminal console(Emulator::kWineConsole, folder, "us");
  ASSERT_TRUE(console.Started());
  ASSERT_TRUE(console.WaitForRow(2, kPrompt)) << console.Text();
  // The keypad types digits with Num Lock on; a new X server has it off.
  console.Key({"Num_Lock"});

  struct Typed {
    std::string what;
    std::string modifier;  // held while `keys` are pressed; empty for none
    std::vector<std::string> keys;
    std::string echo;
  };
  // Keypad 6 and 5 go as key codes of Xvfb's keyboard: by their names, xdotool
  // would press Num Lock around each one.
  const Typed kTyped[] = {
      {"Alt held with keypad 6 and 5", "alt", {"85", "84"}, "A"},
      {"Alt held with keypad 2, 4 and 5: the Windows-1250 byte 245",
       "alt",
       {"88", "83", "84"},
       "ő"},
      {"keypad '/'", "", {"KP_Divide"}, "/"},
  };
  std::string line = kPrompt;
  for (const Typed& typed : kTyped) {
    if (typed.modifier.empty()) {
      console.Key(typed.keys);
    } else {
      console.KeyWith(typed.modifier, typed.keys);
    }
    line += typed.echo;
    EXPECT_TRUE(console.WaitForRow(2, line)) << typed.what << "\n" << console.Text();
  }

  // No file "Aő/.dat": the prompt again, then the default file.
  console.Key({"Return"});
  ASSERT_TRUE(console.WaitForRow(3, kPrompt)) << console.Text();
  console.Key({"Return"});
  ASSERT_TRUE(console.WaitForRow(9, kLastMatrixRow)) << console.Text();
  const std::string waiting = console.Text();
  console.Key({"Shift_L"});
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(console.Text(), waiting);
  console.Key({"space"});
  EXPECT_TRUE(console.WaitForRow(11, kPartialSums)) << console.Text();
  console.Key({"Return", "Return"});
  EXPECT_EQ(console.WaitForEnd(), 0) << console.Text();
}

}  // namespace
