// Runs in a terminal that end with a run-time error: the report on standard
// error, the exit status, and the terminal given back in its normal modes.
#include <gtest/gtest.h>

#include "PageCheck.h"
#include "ProgramTexts.h"
#include "TerminalRun.h"
#include "support/ReportCheck.h"

namespace {

using testing_support::ExpectedLocation;

struct FailingFile {
  std::string testName;
  std::string content;
  /// The last row (number, text) of each matrix display answered with a key
  /// before the error comes.
  std::vector<std::pair<int, std::string>> displays;
  int code;
  std::vector<ExpectedLocation> locations;
};

void PrintTo(const FailingFile& param, std::ostream* out) {
  *out << param.testName;
}

const ExpectedLocation kBeolvasCall{"main", "src/main.cpp", "BEOLVAS("};

class FatalError : public ::testing::TestWithParam<FailingFile> {};

TEST_P(FatalError, ReportsOnStandardErrorAndRestoresTheTerminal) {
  const FailingFile& param = GetParam();
  TempFolder folder;
  folder.Write("hibas.dat", param.content);
  TerminalRun run(folder);
  ASSERT_TRUE(run.AnswerPrompt(2, "hibas"));
  for (const auto& [row, text] : param.displays) {
    ASSERT_TRUE(run.WaitForRow(row, text));
    run.Session().SendText(" ");
  }
  EXPECT_EQ(run.WaitForEnd(), param.code);
  testing_support::ExpectReport(run.StandardError(), param.code, param.locations);

  const std::string modes = run.TerminalModesAfter();
  for (const char* setting : {"icanon", "echo", "iexten", "ixon", "icrnl", "isig"})
    EXPECT_TRUE(testing_support::HasSetting(modes, setting)) << setting << " in\n" << modes;
  // The page stays, and the report is not drawn on it.
  const Screen screen = run.Session().Capture();
  EXPECT_EQ(TrimmedRow(screen, 2), kPrompt + "hibas");
  EXPECT_EQ(run.Session().Text().find("Runtime error"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FatalError,
    ::testing::Values(
        FailingFile{"LetterInAnElement",
                    "2 2\n1 a\n3 4\n",
                    {},
                    106,
                    {{"BEOLVAS", "src/Beolvas.cpp", "Read(F)"}, kBeolvasCall}},
        FailingFile{"RowCountAbove32767",
                    "32768 1\n1\n",
                    {},
                    201,
                    {{"BEOLVAS", "src/Beolvas.cpp", "N = "}, kBeolvasCall}},
        // The partial sums -32768, -1 and 0 fit; the candidate (2,1)..(3,1) sums to 32768.
        FailingFile{"BestSumBeyond16Bits",
                    "3 1\n-32768\n32767\n1\n",
                    {{8, "   3   1"}, {15, "   3   0"}},
                    201,
                    {{"FELDOLGOZ", "src/Feldolgoz.cpp", "MAXERT = "},
                     {"main", "src/main.cpp", "FELDOLGOZ("}}}),
    [](const auto& info) { return info.param.testName; });

}  // namespace
