#include <gtest/gtest.h>

#include <string>

#include "Rutinok/AltRutinok.h"
#include "console/Keyboard.h"
#include "support/ConsoleFixture.h"

namespace {

using namespace testing_support;

class UjlapTest : public ConsoleTest {};

struct TitleCase {
  int length;
  int leadingBlanks;
  int firstTextRow;  // where the cursor stands after the title's line end
};

TEST_F(UjlapTest, TitleIsCentredInHalfItsLengthPlus40) {
  const TitleCase cases[] = {
      {51, 14, 2}, {62, 9, 2}, {1, 39, 2}, {78, 1, 2}, {79, 0, 2}, {80, 0, 3}, {81, 0, 3},
  };
  for (const auto& c : cases) {
    std::string title(static_cast<size_t>(c.length), 'T');
    UJLAP(ShortString(title), 1);
    const std::string row1 = Row(1);
    EXPECT_EQ(row1.find('T'), static_cast<size_t>(c.leadingBlanks)) << c.length;
    const int onFirstRow = std::min(c.length, 80 - c.leadingBlanks);
    EXPECT_EQ(TrimmedRow(2), std::string(static_cast<size_t>(c.length - onFirstRow), 'T'))
        << c.length;
    EXPECT_EQ(Cursor(), (Point{1, c.firstTextRow})) << c.length;
  }
}

TEST_F(UjlapTest, PageIsBlackOnLightGrayAfterThePause) {
  TextAttr = 0x1F;
  device_.FillRect({1, 1, 80, 25}, Cell{'#', 0x1F});
  UJLAP(ShortString("Cim"), 2);
  EXPECT_EQ(device_.SleptMilliseconds(), 200u);
  EXPECT_EQ(TextAttr, 0x70);
  EXPECT_EQ(AttrAt(1, 1), 0x70);
  EXPECT_EQ(AttrAt(80, 25), 0x70);
  EXPECT_EQ(TrimmedRow(25), "");
  EXPECT_EQ(Row(1, 39, 41), "Cim");
}

TEST_F(UjlapTest, WaitBelowOneWaitsForAKeyInsteadOfPausing) {
  Queue(CharKey('q'));
  UJLAP(ShortString("x"), 0);
  EXPECT_EQ(device_.SleptMilliseconds(), 0u);
  EXPECT_FALSE(KeyPressed());
}

TEST_F(UjlapTest, PauseLongerThan65535MillisecondsIsARangeError) {
  UJLAP(ShortString("x"), 655);
  EXPECT_EQ(device_.SleptMilliseconds(), 65500u);
  EXPECT_EXIT(UJLAP(ShortString("x"), 656), ::testing::ExitedWithCode(201), "Runtime error 201");
}

TEST_F(UjlapTest, AnArrowKeyEndsTwoWaits) {
  Queue(KeyPress(40, 80, 0, KeyState::kEnhanced));
  BILLREVAR();
  BILLREVAR();
  EXPECT_FALSE(KeyPressed());
}

}  // namespace
