#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProgramFixture.h"

namespace {

using namespace testing_support;

struct SearchCase {
  const char* name;
  std::vector<std::vector<int16_t>> rows;
  TRESZMATRIX best;
  int16_t sum;
};

class FeldolgozTest : public ProgramTest {
 protected:
  void Load(const std::vector<std::vector<int16_t>>& rows) {
    N = static_cast<int16_t>(rows.size());
    M = static_cast<int16_t>(rows.empty() ? 0 : rows[0].size());
    for (int i = 0; i < N; ++i)
      for (int j = 0; j < M; ++j) MAT(i + 1, j + 1) = rows[i][j];
    MAXRM = TRESZMATRIX{1, 1, N, M};
  }
};

TEST_F(FeldolgozTest, FindsTheFirstSubmatrixWithTheLargestSum) {
  std::vector<std::vector<int16_t>> nineByNine(9, std::vector<int16_t>(9, -1));
  nineByNine[4][5] = 5;
  nineByNine[4][6] = 5;
  nineByNine[8][8] = 9;
  const SearchCase cases[] = {
      {"first example", {{1, -2, 3, 4}, {-5, 6, -1, 2}, {3, -4, 5, -6}}, {1, 2, 2, 4}, 12},
      {"default file", {{2, -1, 2, -1}, {-3, 4, -1, 1}, {1, -1, 3, -2}}, {1, 1, 3, 3}, 6},
      {"all negative", {{-3, -1}, {-2, -1}}, {1, 2, 1, 2}, -1},
      {"ties", {{1, -1, 1}}, {1, 1, 1, 1}, 1},
      {"all zeros", {{0, 0}, {0, 0}}, {1, 1, 1, 1}, 0},
      {"one by one", {{-7}}, {1, 1, 1, 1}, -7},
      {"nine by nine", nineByNine, {5, 6, 5, 7}, 10},
      {"extremes", {{32767, -32768}}, {1, 1, 1, 1}, 32767},
  };
  for (const auto& c : cases) {
    SetUp();
    Load(c.rows);
    Queue(CharKey(' '));
    FELDOLGOZ();
    EXPECT_EQ((std::vector<int>{MAXRM.BFI, MAXRM.BFJ, MAXRM.JAI, MAXRM.JAJ}),
              (std::vector<int>{c.best.BFI, c.best.BFJ, c.best.JAI, c.best.JAJ}))
        << c.name;
    EXPECT_EQ(MAXERT, c.sum) << c.name;
  }
}

TEST_F(FeldolgozTest, ShowsThePartialSumsWithinTheWholeMatrix) {
  Load({{1, -2, 3, 4}, {-5, 6, -1, 2}, {3, -4, 5, -6}});
  Queue(CharKey(' '));
  FELDOLGOZ();
  EXPECT_EQ(TrimmedRow(1), "R\xe9sz-\xf6sszegek m\xe1trixa:");
  EXPECT_EQ(TrimmedRow(3), "       1   2   3   4");
  EXPECT_EQ(TrimmedRow(4), "   1   1  -1   2   6");
  EXPECT_EQ(TrimmedRow(5), "   2  -4   0   2   8");
  EXPECT_EQ(TrimmedRow(6), "   3  -1  -1   6   6");
}

TEST_F(FeldolgozTest, EmptyMatrixReportsTheFirstCellWithSumZero) {
  Load({});
  M = 3;
  MAXRM = TRESZMATRIX{1, 1, N, M};
  Queue(CharKey(' '));
  FELDOLGOZ();
  EXPECT_EQ((std::vector<int>{MAXRM.BFI, MAXRM.BFJ, MAXRM.JAI, MAXRM.JAJ}),
            (std::vector<int>{1, 1, 1, 1}));
  EXPECT_EQ(MAXERT, 0);
}

TEST_F(FeldolgozTest, SumsBeyondSixteenBitsAreRangeErrors) {
  // A candidate sum of 32768 beats the best although every partial sum fits.
  Load({{-32768}, {32767}, {1}});
  Queue(CharKey(' '));
  EXPECT_EXIT(FELDOLGOZ(), ::testing::ExitedWithCode(201), "Runtime error 201");
  // A partial sum that does not fit fails before anything is shown.
  Load({{32767, 1}});
  EXPECT_EXIT(FELDOLGOZ(), ::testing::ExitedWithCode(201), "");
}

TEST_F(FeldolgozTest, CountsBeyondNineFailBeforeAnythingIsShown) {
  for (auto [rows, columns] : {std::pair{10, 0}, {0, 10}}) {
    N = static_cast<int16_t>(rows);
    M = static_cast<int16_t>(columns);
    EXPECT_EXIT(FELDOLGOZ(), ::testing::ExitedWithCode(201), "") << rows << "x" << columns;
  }
}

}  // namespace
