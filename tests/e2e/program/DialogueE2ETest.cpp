// Whole runs in a terminal: the dialogue on the default file up to the result
// page and the exit, an extended key that answers two waits, and result-page
// titles that end in the name typed, Hungarian letters too, and that fill or
// overflow the first row.
#include <gtest/gtest.h>

#include "PageCheck.h"
#include "ProgramTexts.h"
#include "TerminalRun.h"

namespace {

// The result page of the default file below its title, from row 2 on.
const std::vector<std::string> kDefaultResult = {
    kCorners + "(1,1)..(3,3)", kSum + "6",         "", "       1   2   3", "   1   2  -1   2",
    "   2  -3   4  -1",        "   3   1  -1   3",
};
const std::string kDefaultResultTitleRow = std::string(9, ' ') + kResultTitle + "3x4_1,1x3,3";

void ExpectDefaultResultPage(const Screen& screen) {
  std::vector<std::string> rows = {kDefaultResultTitleRow};
  rows.insert(rows.end(), kDefaultResult.begin(), kDefaultResult.end());
  ExpectRows(screen, rows);
  ExpectPageBackground(screen);
  ExpectBlackText(screen, 1, 3);
  ExpectMatrixColours(screen, 5, 3);
}

// A run on the default file, its name answered empty, at the wait after the matrix.
class Dialogue : public ::testing::Test {
 protected:
  void SetUp() override {
    // In place before the name is typed, when the program opens it.
    folder_.CopySample(kDefaultFile);
    ASSERT_TRUE(run_.AnswerPrompt(2, ""));
    ASSERT_TRUE(run_.WaitForRow(8, "   3   1  -1   3  -2"));
  }

  TempFolder folder_;
  TerminalRun run_{folder_};
};

TEST_F(Dialogue, RunsToTheResultPageAndLeavesItOnTheScreen) {
  run_.Session().SendText("a");
  ASSERT_TRUE(run_.WaitForRow(15, "   3   0   2   6   4"));
  run_.Session().SendKeys({"Enter"});
  ASSERT_TRUE(run_.WaitForRow(8, kDefaultResult.back()));
  ExpectDefaultResultPage(run_.Session().Capture());
  EXPECT_EQ(run_.Session().Cursor(), std::make_pair(1, 10));
  EXPECT_FALSE(run_.Ended());

  run_.Session().SendText("z");
  EXPECT_EQ(run_.WaitForEnd(), 0);
  EXPECT_EQ(run_.StandardError(), "");
  // The screen is not cleared at the end: the page keeps its text, its
  // colours and the cursor where the last line end left it.
  ExpectDefaultResultPage(run_.Session().Capture());
  EXPECT_EQ(run_.Session().Cursor(), std::make_pair(1, 10));
}

TEST_F(Dialogue, AnArrowKeyAnswersTheMatrixWaitAndThePartialSumWait) {
  run_.Session().SendKeys({"Up"});
  ASSERT_TRUE(run_.WaitForRow(8, kDefaultResult.back()));
  ExpectDefaultResultPage(run_.Session().Capture());
  // The result page's own wait is still to come.
  EXPECT_FALSE(run_.Ended());
  run_.Session().SendText("q");
  EXPECT_EQ(run_.WaitForEnd(), 0);
  EXPECT_EQ(run_.StandardError(), "");
}

struct TypedName {
  const char* what;  // the test's name
  std::string name;
  std::vector<std::string> titleRows;
};

void PrintTo(const TypedName& param, std::ostream* out) {
  *out << param.name;
}

class ResultTitle : public ::testing::TestWithParam<TypedName> {};

TEST_P(ResultTitle, EndsInTheNameTypedOnAsManyRowsAsItNeeds) {
  const TypedName& param = GetParam();
  TempFolder folder;
  folder.Write(param.name + ".dat", testing_support::SampleFile(kDefaultFile));
  TerminalRun run(folder);
  ASSERT_TRUE(run.AnswerPrompt(2, param.name));
  ASSERT_TRUE(run.WaitForRow(8, "   3   1  -1   3  -2"));
  run.Session().SendText("  ");
  const int titleRows = static_cast<int>(param.titleRows.size());
  ASSERT_TRUE(run.WaitForRow(titleRows + 7, kDefaultResult.back()));

  const Screen screen = run.Session().Capture();
  std::vector<std::string> rows = param.titleRows;
  rows.insert(rows.end(), kDefaultResult.begin(), kDefaultResult.end());
  ExpectRows(screen, rows);
  ExpectPageBackground(screen);
  ExpectBlackText(screen, 1, titleRows + 2);
  ExpectMatrixColours(screen, titleRows + 4, 3);
  run.Session().SendText(" ");
  EXPECT_EQ(run.WaitForEnd(), 0);
}

const std::string kName29 = "abcdefghijklmnopqrstuvwxyz_29";

INSTANTIATE_TEST_SUITE_P(
    Names, ResultTitle,
    ::testing::Values(
        // Centred: 52 and 54 characters.
        TypedName{"OWithDoubleAcute", "ő", {std::string(14, ' ') + kResultTitle + "ő"}},
        TypedName{"UWithDoubleAcute", "tűz", {std::string(13, ' ') + kResultTitle + "tűz"}},
        // 80 characters: the first row is full, the line end leaves the second empty.
        TypedName{"FillsTheFirstRow", kName29, {kResultTitle + kName29, ""}},
        // 81 characters: the last one wraps onto the second row.
        TypedName{"WrapsOntoTheSecondRow", kName29 + "X", {kResultTitle + kName29, "X"}}),
    [](const auto& info) { return info.param.what; });

}  // namespace
