// The reading page in a terminal: the prompt repeated for names that do not
// open (letters Windows-1250 lacks among them, typed as '?'), the default
// file, the matrix display in its colours, and a page that needs more rows
// than the screen has.
#include <gtest/gtest.h>

#include "PageCheck.h"
#include "ProgramTexts.h"
#include "TerminalRun.h"

namespace {

TEST(ReadingPage, RepeatsThePromptForMissingNamesAndShowsTheDefaultMatrix) {
  TempFolder folder;
  folder.CopySample(kDefaultFile);
  // Western, Cyrillic and Japanese letters: the file of their name does not open.
  const std::string lacking = "õж中";
  folder.Write(lacking + ".dat", testing_support::SampleFile(kDefaultFile));
  TerminalRun run(folder);
  ASSERT_TRUE(run.AnswerPrompt(2, "nincs"));
  // A name that already ends in .dat gets a second one and does not open either.
  ASSERT_TRUE(run.AnswerPrompt(3, "3x4_1,1x3,3.dat"));
  ASSERT_TRUE(run.AnswerPrompt(4, lacking));
  ASSERT_TRUE(run.AnswerPrompt(5, ""));
  ASSERT_TRUE(run.WaitForRow(11, "   3   1  -1   3  -2"));

  const Screen screen = run.Session().Capture();
  ExpectRows(screen, {
                         kReadingTitleRow,
                         kPrompt + "nincs",
                         kPrompt + "3x4_1,1x3,3.dat",
                         kPrompt + "???",
                         kPrompt,
                         kReadingDone,
                         "",
                         "       1   2   3   4",
                         "   1   2  -1   2  -1",
                         "   2  -3   4  -1   1",
                         "   3   1  -1   3  -2",
                     });
  EXPECT_EQ(screen.RowText(1, 15, 65), kReadingTitle);
  ExpectPageBackground(screen);
  ExpectBlackText(screen, 1, 6);
  ExpectMatrixColours(screen, 8, 3);
  // The wait for a key: the cursor below the display's closing empty row.
  EXPECT_EQ(run.Session().Cursor(), std::make_pair(1, 13));
  EXPECT_FALSE(run.Ended());
}

// A 9 by 9 matrix with one- and two-digit values of both signs.
constexpr char kNineByNine[] =
    "9 9\n"
    "   5   5  -6  -3   0  -7   6  -9   0\n"
    "   5  -7   7   5  -1   3  -3  -3  -7\n"
    "  -7  -5   7  -1   2  -5   7  -1  -6\n"
    "   2  -2   6   6   3  -9  -4  -9   6\n"
    "   5   3   0  -5   4   2   3   1  -6\n"
    "   1  -9   1   1   3  -6  -3  -9   0\n"
    "  -1   2  -7   3   3  -7   2   4  -1\n"
    "  -8  -1  -6  -8   0  -5  -2  -1   4\n"
    "   7   1  -3   2   4  -9   3  -3  -7\n";

const std::string kNineHeader = "       1   2   3   4   5   6   7   8   9";
const std::vector<std::string> kNineRows = {
    "   1   5   5  -6  -3   0  -7   6  -9   0", "   2   5  -7   7   5  -1   3  -3  -3  -7",
    "   3  -7  -5   7  -1   2  -5   7  -1  -6", "   4   2  -2   6   6   3  -9  -4  -9   6",
    "   5   5   3   0  -5   4   2   3   1  -6", "   6   1  -9   1   1   3  -6  -3  -9   0",
    "   7  -1   2  -7   3   3  -7   2   4  -1", "   8  -8  -1  -6  -8   0  -5  -2  -1   4",
    "   9   7   1  -3   2   4  -9   3  -3  -7",
};
const std::vector<std::string> kNinePartialSums = {
    "   1   5  10   4   1   1  -6   0  -9  -9", "   2  10   8   9  11  10   6   9  -3 -10",
    "   3   3  -4   4   5   6  -3   7  -6 -19", "   4   5  -4  10  17  21   3   9 -13 -20",
    "   5  10   4  18  20  28  12  21   0 -13", "   6  11  -4  11  14  25   3   9 -21 -34",
    "   7  10  -3   5  11  25  -4   4 -22 -36", "   8   2 -12 -10 -12   2 -32 -26 -53 -63",
    "   9   9  -4  -5  -5  13 -30 -21 -51 -68",
};

TEST(ReadingPage, ScrollsItsTitleOffWhenTheTwoNineByNineDisplaysDoNotFit) {
  TempFolder folder;
  folder.Write("kilenc.dat", kNineByNine);
  TerminalRun run(folder);
  ASSERT_TRUE(run.AnswerPrompt(2, "kilenc"));

  // The first display fits: 15 rows, the title still on top.
  ASSERT_TRUE(run.WaitForRow(14, kNineRows.back()));
  std::vector<std::string> firstWait = {kReadingTitleRow, kPrompt + "kilenc", kReadingDone, "",
                                        kNineHeader};
  firstWait.insert(firstWait.end(), kNineRows.begin(), kNineRows.end());
  ExpectRows(run.Session().Capture(), firstWait);
  run.Session().SendText(" ");

  // The page has 28 rows and the cursor stands on a 29th: rows 5 to 29 remain.
  ASSERT_TRUE(run.WaitForRow(23, kNinePartialSums.back()));
  const Screen screen = run.Session().Capture();
  std::vector<std::string> scrolled = {kNineHeader};
  scrolled.insert(scrolled.end(), kNineRows.begin(), kNineRows.end());
  scrolled.insert(scrolled.end(), {"", kPartialSums, "", kNineHeader});
  scrolled.insert(scrolled.end(), kNinePartialSums.begin(), kNinePartialSums.end());
  ExpectRows(screen, scrolled);
  ExpectPageBackground(screen);
  ExpectMatrixColours(screen, 1, 9);
  ExpectBlackText(screen, 12, 12);
  ExpectMatrixColours(screen, 14, 9);
  EXPECT_EQ(run.Session().Cursor(), std::make_pair(1, 25));
  EXPECT_FALSE(run.Ended());
}

}  // namespace
