#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProgramFixture.h"
#include "console/Keyboard.h"

namespace {

using namespace testing_support;

class KiirMatrixTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    TextAttr = 0x70;
    const int16_t rows[2][3] = {{1, 2, 3}, {4, -5, 60}};
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 3; ++j) matrix_(i + 1, j + 1) = rows[i][j];
    matrix_(3, 3) = 7;
    matrix_(3, 4) = -1234;
    device_.SetCursor({1, 2});
  }
  std::vector<std::string> Show(TRESZMATRIX rm) {
    Queue(CharKey(' '));
    KIIRMATRIX(rm, matrix_);
    std::vector<std::string> rows;
    for (int y = 2; y <= Cursor().y; ++y) rows.push_back(TrimmedRow(y));
    return rows;
  }
  TMATRIX matrix_ = {};
};

TEST_F(KiirMatrixTest, WholeMatrixWithIndicesInFourCharacters) {
  EXPECT_EQ(Show({1, 1, 2, 3}), (std::vector<std::string>{
                                    "",
                                    "       1   2   3",
                                    "   1   1   2   3",
                                    "   2   4  -5  60",
                                    "",
                                    "",
                                }));
  // The header and the row labels are dark gray, the elements black.
  EXPECT_EQ(AttrAt(8, 3), 0x78);
  EXPECT_EQ(AttrAt(4, 4), 0x78);
  EXPECT_EQ(AttrAt(8, 4), 0x70);
  EXPECT_EQ(AttrAt(16, 5), 0x70);
  EXPECT_EQ(TextAttr, 0x70);
  EXPECT_FALSE(KeyPressed());  // the wait took the key
}

TEST_F(KiirMatrixTest, SubRectangleShowsTheMatrixOwnNumbers) {
  EXPECT_EQ(Show({2, 3, 3, 4}), (std::vector<std::string>{
                                    "",
                                    "       3   4",
                                    "   2  60   0",
                                    "   3   7-1234",
                                    "",
                                    "",
                                }));
}

TEST_F(KiirMatrixTest, EmptyRectangles) {
  EXPECT_EQ(Show({3, 1, 2, 2}), (std::vector<std::string>{"", "       1   2", "", ""}));
  ClrScr();
  device_.SetCursor({1, 2});
  EXPECT_EQ(Show({1, 2, 2, 1}), (std::vector<std::string>{"", "", "   1", "   2", "", ""}));
}

TEST_F(KiirMatrixTest, IndexBeyondNineIsARangeError) {
  Queue(CharKey(' '));
  EXPECT_EXIT(KIIRMATRIX({9, 1, 10, 1}, matrix_), ::testing::ExitedWithCode(201), "");
}

}  // namespace
