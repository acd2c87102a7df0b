#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "ProgramFixture.h"
#include "runtime/IoResult.h"

namespace {

using namespace testing_support;

class BeolvasTest : public ProgramTest {
 protected:
  // Writes `contents` as name.dat and runs the reading phase on it.
  void Run(std::string_view contents) {
    dir_.Write("m.dat", contents);
    AnswerPrompt(dir_.Path() + "/m", 1);
    BEOLVAS(FN);
  }
  std::vector<std::vector<int>> Matrix() const {
    std::vector<std::vector<int>> rows;
    for (int i = 1; i <= N; ++i) {
      rows.emplace_back();
      for (int j = 1; j <= M; ++j) rows.back().push_back(MAT(i, j));
    }
    return rows;
  }
  using Rows = std::vector<std::vector<int>>;
};

struct FileCase {
  const char* name;
  const char* contents;
  std::vector<std::vector<int>> matrix;
};

TEST_F(BeolvasTest, ReadsTheMatrixByTheNumberAndLineRules) {
  const FileCase cases[] = {
      {"extra number skipped", "2 3\n1 2 3 99\n4 5 6\n", {{1, 2, 3}, {4, 5, 6}}},
      {"short line continues", "2 2\n1\n2 3 4\n5 6\n", {{1, 2}, {5, 6}}},
      {"rest of the line discarded", "2 2\n1 2 3 4\n5 6\n", {{1, 2}, {5, 6}}},
      {"CR LF line ends", "2 2 junk\r\n1 2\r\n3 4\r\n", {{1, 2}, {3, 4}}},
      {"lone CR line ends", "2 2\r1 2\r3 4", {{1, 2}, {3, 4}}},
      {"prefixes", "1 5\n$7FFF x10 0x10 %1010 &17\n", {{32767, 16, 16, 10, 15}}},
      {"leading zeros and signs", "1 3\n007 -0 +5\n", {{7, 0, 5}}},
      {"Ctrl+Z in a row", "2 3\n1 2\x1a 3\n4 5 6\n", {{1, 2, 0}, {0, 0, 0}}},
      {"file ends early", "2 2\n5", {{5, 0}, {0, 0}}},
      {"nothing after the counts", "1 1", {{0}}},
      {"zero by zero", "0 0\n", {}},
  };
  for (const auto& c : cases) {
    SetUp();
    Run(c.contents);
    EXPECT_EQ(Matrix(), c.matrix) << c.name;
    EXPECT_EQ((std::vector<int>{MAXRM.BFI, MAXRM.BFJ, MAXRM.JAI, MAXRM.JAJ}),
              (std::vector<int>{1, 1, N, M}))
        << c.name;
    EXPECT_EQ(InOutRes, 0) << c.name;
  }
}

TEST_F(BeolvasTest, PageShowsThePromptTheSuccessLineAndTheMatrix) {
  Run("2 2\n1 -2\n30 4\n");
  EXPECT_EQ(Row(1, 15, 65),
            "Legnagyobb \xf6sszeg\xfb r\xe9szm\xe1trix keres\xe9se -- beolvas\xe1s");
  EXPECT_EQ(TrimmedRow(2),
            "F\xe1jln\xe9v (*.dat, opcion\xe1lis: 3x4_1,1x3,3):" + dir_.Path() + "/m");
  EXPECT_EQ(TrimmedRow(3), "A beolvas\xe1s siker\xfclt.");
  EXPECT_EQ(TrimmedRow(4), "");
  EXPECT_EQ(TrimmedRow(5), "       1   2");
  EXPECT_EQ(TrimmedRow(6), "   1   1  -2");
  EXPECT_EQ(TrimmedRow(7), "   2  30   4");
  EXPECT_EQ(FN.View(), dir_.Path() + "/m");
  EXPECT_EQ(AttrAt(1, 2), 0x70);
}

TEST_F(BeolvasTest, NamesThatDoNotOpenRepeatThePromptOnTheNextRow) {
  dir_.Write("m.dat", "1 1\n8\n");
  AnswerPrompt(dir_.Path() + "/missing", 0);
  AnswerPrompt(dir_.Path(), 0);             // a directory
  AnswerPrompt(dir_.Path() + "/m.dat", 0);  // gets a second ".dat"
  AnswerPrompt(dir_.Path() + "\\m", 1);     // the backslash separates directories
  BEOLVAS(FN);
  for (int row = 2; row <= 5; ++row)
    EXPECT_EQ(Row(row, 1, 28), "F\xe1jln\xe9v (*.dat, opcion\xe1lis: ") << row;
  EXPECT_EQ(Matrix(), (Rows{{8}}));
  EXPECT_EQ(InOutRes, 0);
}

TEST_F(BeolvasTest, TypedWindows1250NameOpensItsUtf8File) {
  dir_.Write("m\xc3\xa1trix \xc5\x91.dat", "1 1\n3\n");  // "mátrix ő.dat" on the disk
  AnswerPrompt(dir_.Path() + "/m\xe1trix \xf5", 1);      // typed as Windows-1250 bytes
  BEOLVAS(FN);
  EXPECT_EQ(Matrix(), (Rows{{3}}));
}

TEST_F(BeolvasTest, EmptyLineOpensTheDefaultFile) {
  dir_.Write("3x4_1,1x3,3.dat", "1 2\n3 4\n");
  ASSERT_EQ(chdir(dir_.Path().c_str()), 0);
  AnswerPrompt("", 1);
  BEOLVAS(FN);
  EXPECT_EQ(FN.View(), "3x4_1,1x3,3");
  EXPECT_EQ(Matrix(), (Rows{{3, 4}}));
}

struct FailureCase {
  const char* name;
  const char* contents;
  int code;
};

TEST_F(BeolvasTest, BadFilesEndTheRunWithANumberedError) {
  const FailureCase cases[] = {
      {"letter", "1 1\na\n", 106},
      {"fraction", "1 1\n1.5\n", 106},
      {"exponent", "1 1\n1e3\n", 106},
      {"byte-order mark",
       "\xEF\xBB\xBF"
       "1 1\n1\n",
       106},
      {"element above 32767", "1 1\n32768\n", 201},
      {"$8000", "1 1\n$8000\n", 201},
      {"row count above 32767", "40000 1\n", 201},
      {"ten rows", "10 3\n1 2 3\n1 2 3\n1 2 3\n1 2 3\n1 2 3\n1 2 3\n1 2 3\n1 2 3\n1 2 3\n7\n", 201},
      {"ten columns", "3 10\n1 2 3 4 5 6 7 8 9 10\n", 201},
  };
  for (const auto& c : cases) {
    SetUp();
    EXPECT_EXIT(Run(c.contents), ::testing::ExitedWithCode(c.code), "Runtime error") << c.name;
  }
}

TEST_F(BeolvasTest, TenRowsFailAtTheFirstElementOfRowTen) {
  // Nine full rows are stored before the tenth row's first element fails.
  std::string contents = "10 3\n";
  for (int i = 1; i <= 9; ++i) contents += "1 2 3\n";
  contents += "q\n";  // an invalid number would give 106 if it were read before the index check
  EXPECT_EXIT(Run(contents), ::testing::ExitedWithCode(106), "");
  contents.replace(contents.size() - 2, 1, "7");
  EXPECT_EXIT(Run(contents), ::testing::ExitedWithCode(201), "");
}

TEST_F(BeolvasTest, CountsBeyondNineWithoutElementsPassThisPhase) {
  Run("10 0\n");
  EXPECT_EQ(N, 10);
  EXPECT_EQ(TrimmedRow(5), "");
  EXPECT_EQ(TrimmedRow(6), "   1");
  EXPECT_EQ(TrimmedRow(15), "  10");
  SetUp();
  Run("0 10\n");
  EXPECT_EQ(TrimmedRow(5), "       1   2   3   4   5   6   7   8   9  10");
}

}  // namespace
