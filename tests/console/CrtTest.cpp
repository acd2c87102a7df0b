#include <gtest/gtest.h>

#include <array>
#include <string>

#include "runtime/StandardStreams.h"
#include "runtime/TextWrite.h"
#include "support/ConsoleFixture.h"

namespace {

using testing_support::ConsoleTest;

struct AttributeCase {
  uint8_t start;
  void (*operation)();
  uint8_t expected;
};

TEST(CrtAttributeTest, ArithmeticFollowsThePageColours) {
  const AttributeCase cases[] = {
      // The page colours from any starting attribute.
      {0x07, [] { TextBackground(15), TextColor(0); }, 0x70},
      {0xFF, [] { TextBackground(15), TextColor(0); }, 0x70},
      {0x00, [] { TextBackground(15), TextColor(0); }, 0x70},
      {0x70, HighVideo, 0x78},
      {0x78, LowVideo, 0x70},
      // TextColor copies bit 7 and keeps the background.
      {0x70, [] { TextColor(0x8C); }, 0xFC},
      {0x1F, [] { TextColor(2); }, 0x12},
      // TextBackground keeps only three bits; foreground and bit 7 stay.
      {0x8F, [] { TextBackground(12); }, 0xCF},
      {0x07, [] { TextBackground(8); }, 0x07},
      // HighVideo leaves bit 7, LowVideo clears it with the intensity.
      {0x81, HighVideo, 0x89},
      {0xF9, LowVideo, 0x71},
  };
  for (const auto& c : cases) {
    TextAttr = c.start;
    c.operation();
    EXPECT_EQ(TextAttr, c.expected) << "from 0x" << std::hex << int{c.start};
  }
}

class CrtScreenTest : public ConsoleTest {};

TEST_F(CrtScreenTest, WrapsAtOnceAtTheLastColumn) {
  Write(Output, std::string(80, 'a'));
  EXPECT_EQ(Cursor(), (Point{1, 2}));
  WriteLn(Output);
  WriteLn(Output, "b");
  EXPECT_EQ(TrimmedRow(2), "");
  EXPECT_EQ(TrimmedRow(3), "b");
}

TEST_F(CrtScreenTest, BottomRightCellScrollsAtOnceWithTheAttributeOfThatMoment) {
  TextAttr = 0x1E;
  for (int row = 1; row <= 24; ++row) WriteLn(Output, "row ", row);
  Write(Output, std::string(79, 'z'));
  TextAttr = 0x70;
  Write(Output, "!");
  EXPECT_EQ(Cursor(), (Point{1, 25}));
  EXPECT_EQ(TrimmedRow(1), "row 2");
  EXPECT_EQ(Row(24), std::string(79, 'z') + "!");
  EXPECT_EQ(TrimmedRow(25), "");
  EXPECT_EQ(AttrAt(1, 25), 0x70);
  EXPECT_EQ(AttrAt(80, 24), 0x70);
  EXPECT_EQ(AttrAt(1, 24), 0x1E);
}

struct ControlByteCase {
  const char* text;
  Point cursor;
  const char* row1;
  const char* row2;
};

TEST_F(CrtScreenTest, ControlBytes) {
  const ControlByteCase cases[] = {
      {"ab\ac", {4, 1}, "abc", ""},          // 7 shows nothing
      {"a\tb", {4, 1}, "a\tb", ""},          // 9 takes one cell
      {"abc\b\bX", {3, 1}, "aXc", ""},       // 8 moves left without erasing
      {"\b\bab", {3, 1}, "ab", ""},          // and stops at the left column
      {"ab\ncd", {5, 2}, "ab", "  cd"},      // 10 goes straight down
      {"abc\rX", {2, 1}, "Xbc", ""},         // 13 returns to the left column
      {"\x01\x1f", {3, 1}, "\x01\x1f", ""},  // other control bytes are cells
  };
  for (const auto& c : cases) {
    ClrScr();
    Write(Output, c.text);
    EXPECT_EQ(Cursor(), c.cursor) << c.text;
    EXPECT_EQ(TrimmedRow(1), c.row1) << c.text;
    EXPECT_EQ(TrimmedRow(2), c.row2) << c.text;
  }
}

TEST_F(CrtScreenTest, WindowAcceptedMovesTheCursorHome) {
  device_.SetCursor({40, 12});
  Window(1, 1, 80, 25);
  EXPECT_EQ(Cursor(), (Point{1, 1}));
  Window(10, 5, 30, 8);
  EXPECT_EQ((std::array{WindMinX, WindMinY, WindMaxX, WindMaxY}),
            (std::array<uint32_t, 4>{10, 5, 30, 8}));
  EXPECT_EQ(Cursor(), (Point{10, 5}));
}

TEST_F(CrtScreenTest, WindowRefusedChangesNothing) {
  Window(10, 5, 30, 8);
  device_.SetCursor({12, 6});
  const uint8_t refused[][4] = {{1, 1, 81, 25}, {1, 1, 80, 26}, {31, 5, 30, 8}, {10, 9, 30, 8}};
  for (const auto& w : refused) {
    Window(w[0], w[1], w[2], w[3]);
    EXPECT_EQ((std::array{WindMinX, WindMinY, WindMaxX, WindMaxY}),
              (std::array<uint32_t, 4>{10, 5, 30, 8}));
    EXPECT_EQ(Cursor(), (Point{12, 6}));
  }
}

TEST_F(CrtScreenTest, TextWrapsAndScrollsInsideTheWindowOnly) {
  device_.FillRect({1, 1, 80, 25}, Cell{'.', 0x07});
  Window(11, 3, 20, 5);
  TextAttr = 0x70;
  ClrScr();
  Write(Output, "0123456789ABCDEFGHIJ", "klmnopqrst", "uvw");
  EXPECT_EQ(Row(3, 11, 20), "ABCDEFGHIJ");
  EXPECT_EQ(Row(4, 11, 20), "klmnopqrst");
  EXPECT_EQ(Row(5, 11, 20), "uvw       ");
  EXPECT_EQ(Cursor(), (Point{14, 5}));
  // Cells left and right of the window and above and below it are untouched.
  for (int y : {2, 3, 4, 5, 6}) {
    EXPECT_EQ(Row(y, 1, 10), std::string(10, '.')) << y;
    EXPECT_EQ(Row(y, 21, 80), std::string(60, '.')) << y;
    EXPECT_EQ(AttrAt(21, y), 0x07) << y;
  }
  EXPECT_EQ(Row(2, 11, 20), std::string(10, '.'));
}

TEST_F(CrtScreenTest, ClrScrClearsTheWindowOnly) {
  device_.FillRect({1, 1, 80, 25}, Cell{'#', 0x1F});
  Window(5, 2, 10, 4);
  TextAttr = 0x70;
  ClrScr();
  EXPECT_EQ(Cursor(), (Point{5, 2}));
  EXPECT_EQ(Row(2, 5, 10), "      ");
  EXPECT_EQ(AttrAt(5, 2), 0x70);
  EXPECT_EQ(Row(2, 4, 4), "#");
  EXPECT_EQ(Row(2, 11, 11), "#");
  EXPECT_EQ(Row(1, 5, 10), "######");
  EXPECT_EQ(Row(5, 5, 10), "######");
  EXPECT_EQ(AttrAt(11, 3), 0x1F);
}

TEST_F(CrtScreenTest, GotoXYTakesWindowCoordinatesInsideTheWindow) {
  Window(10, 5, 30, 8);
  GotoXY(3, 2);
  EXPECT_EQ(Cursor(), (Point{12, 6}));
  for (auto [x, y] : {std::pair{0, 1}, {22, 1}, {1, 0}, {1, 5}}) {
    GotoXY(x, y);
    EXPECT_EQ(Cursor(), (Point{12, 6})) << x << "," << y;
  }
}

TEST_F(CrtScreenTest, EachStatementIsOnTheScreenWhenItReturns) {
  const int presentsBefore = device_.PresentCount();
  Write(Output, "abc");
  EXPECT_EQ(Row(1, 1, 3), "abc");
  EXPECT_GT(device_.PresentCount(), presentsBefore);
  // A statement longer than the buffer goes out in pieces and whole.
  const std::string longText(300, 'x');
  Write(Output, longText, "yz");
  EXPECT_EQ(Cursor(), (Point{66, 4}));
  EXPECT_EQ(Row(4, 60, 65), "xxxxyz");
}

TEST_F(CrtScreenTest, NumbersAreRightAlignedAndNeverCut) {
  WriteLn(Output, Field{7, 4}, Field{-5, 4}, Field{-1234, 4}, Field{32767, 4}, Field{12, 0}, "|");
  EXPECT_EQ(TrimmedRow(1),
            "   7  -5-123432767"
            "12|");
}

TEST_F(CrtScreenTest, DelaySleepsTheGivenTime) {
  Delay(100);
  Delay(200);
  EXPECT_EQ(device_.SleptMilliseconds(), 300u);
}

class SmallConsoleTest : public ConsoleTest {
 protected:
  SmallConsoleTest() : ConsoleTest(60, 20) {}
};

TEST_F(SmallConsoleTest, WindowLargerThanTheGridIsIgnored) {
  device_.SetCursor({7, 7});
  Window(1, 1, 80, 25);
  EXPECT_EQ((std::array{WindMinX, WindMinY, WindMaxX, WindMaxY}),
            (std::array<uint32_t, 4>{1, 1, 60, 20}));
  EXPECT_EQ(Cursor(), (Point{7, 7}));
  EXPECT_EQ(GetScreenWidth(), 60);
  EXPECT_EQ(GetScreenHeight(), 20);
}

}  // namespace
