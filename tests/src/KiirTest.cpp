#include <gtest/gtest.h>

#include <string>

#include "ProgramFixture.h"

namespace {

using namespace testing_support;

class KiirTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    const int16_t rows[3][4] = {{1, -2, 3, 4}, {-5, 6, -1, 2}, {3, -4, 5, -6}};
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 4; ++j) MAT(i + 1, j + 1) = rows[i][j];
    N = 3;
    M = 4;
  }
};

TEST_F(KiirTest, ResultPageShowsCornersSumAndTheSubmatrix) {
  MAXRM = TRESZMATRIX{1, 2, 2, 4};
  MAXERT = 12;
  Queue(CharKey(' '));
  KIIR(ShortString("3x4_1,1x3,3"));
  EXPECT_EQ(device_.SleptMilliseconds(), 200u);
  EXPECT_EQ(TrimmedRow(1),
            std::string(9, ' ') +
                "Legnagyobb \xf6sszeg\xfb r\xe9szm\xe1trix keres\xe9se -- eredm\xe9ny:3x4_1,1x3,3");
  EXPECT_EQ(TrimmedRow(2), "A keresett r\xe9szm\xe1trix: (1,2)..(2,4)");
  EXPECT_EQ(TrimmedRow(3), "A r\xe9szm\xe1trix \xf6sszege:12");
  EXPECT_EQ(TrimmedRow(5), "       2   3   4");
  EXPECT_EQ(TrimmedRow(6), "   1  -2   3   4");
  EXPECT_EQ(TrimmedRow(7), "   2   6  -1   2");
  EXPECT_EQ(Cursor(), (Point{1, 9}));
}

TEST_F(KiirTest, NegativeSumStandsRightAfterTheColon) {
  MAXRM = TRESZMATRIX{3, 4, 3, 4};
  MAXERT = -6;
  Queue(CharKey(' '));
  KIIR(ShortString("x"));
  EXPECT_EQ(TrimmedRow(3), "A r\xe9szm\xe1trix \xf6sszege:-6");
}

TEST_F(KiirTest, TitleIsAShortStringThatKeeps255Characters) {
  MAXRM = TRESZMATRIX{1, 1, 1, 1};
  Queue(CharKey(' '));
  KIIR(ShortString(std::string(250, 'n')));
  // 51 characters of title, 204 of the name: rows 1 to 3 full, 15 on row 4.
  EXPECT_EQ(TrimmedRow(4), std::string(15, 'n'));
  EXPECT_EQ(TrimmedRow(5), "A keresett r\xe9szm\xe1trix: (1,1)..(1,1)");
}

}  // namespace
