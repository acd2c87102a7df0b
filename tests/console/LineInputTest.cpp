#include <gtest/gtest.h>

#include <string>

#include "console/Keyboard.h"
#include "console/LineInput.h"
#include "runtime/StandardStreams.h"
#include "support/ConsoleFixture.h"

namespace {

using namespace testing_support;

class LineInputTest : public ConsoleTest {
 protected:
  std::string ReadLine() {
    ShortString line;
    ReadShortString(Input, line);
    ReadLineSkip(Input);
    return std::string(line.View());
  }
};

TEST_F(LineInputTest, TypingOverwritesAfterMovingLeft) {
  Type("abc");
  Queue(LeftKey());
  Queue(LeftKey());
  Type("X");
  Queue(EnterKey());
  EXPECT_EQ(ReadLine(), "aXc");
  EXPECT_EQ(TrimmedRow(1), "aXc");
  EXPECT_EQ(Cursor(), (Point{1, 2}));
}

TEST_F(LineInputTest, BackspaceWorksOnlyAtTheEndOfTheLine) {
  Type("abc");
  Queue(LeftKey());
  Type("\b");
  Queue(EndKey());
  Type("\b");
  Type("\x13");  // Ctrl+S acts as Backspace
  Queue(EnterKey());
  EXPECT_EQ(ReadLine(), "a");
  EXPECT_EQ(TrimmedRow(1), "a");
}

TEST_F(LineInputTest, EscAndCtrlYEraseTheWholeLine) {
  for (char eraser : {'\x1b', '\x19'}) {
    Type("hello");
    Queue(HomeKey());
    Type(std::string(1, eraser));
    Type("ok");
    Queue(EnterKey());
    EXPECT_EQ(ReadLine(), "ok");
  }
  EXPECT_EQ(TrimmedRow(1), "ok");
  EXPECT_EQ(TrimmedRow(2), "ok");
}

TEST_F(LineInputTest, HomeRightAndEndMoveWithoutChangingTheLine) {
  Type("abcd");
  Queue(HomeKey());
  Queue(RightKey());
  Type("X");
  Queue(EndKey());
  Type("e");
  Queue(EnterKey());
  EXPECT_EQ(ReadLine(), "aXcde");
}

TEST_F(LineInputTest, TheLineHoldsAtMost254Characters) {
  Type(std::string(255, 'x'));
  Queue(EnterKey());
  EXPECT_EQ(ReadLine(), std::string(254, 'x'));
  // 254 echoed characters fill rows 1 to 3 and 14 columns of row 4.
  EXPECT_EQ(TrimmedRow(4), std::string(14, 'x'));
  EXPECT_EQ(Cursor(), (Point{1, 5}));
}

TEST_F(LineInputTest, EnterOnAnEmptyLineGivesTheEmptyString) {
  device_.SetCursor({30, 3});
  Queue(EnterKey());
  EXPECT_EQ(ReadLine(), "");
  EXPECT_EQ(Cursor(), (Point{1, 4}));
}

TEST_F(LineInputTest, CtrlJIsStoredAndTheRestStaysBufferedForTheNextRead) {
  Type("ab\ncd");
  Queue(EnterKey());
  EXPECT_EQ(ReadLine(), "ab");
  // No keys are left: the next read must come from the buffer.
  EXPECT_EQ(ReadLine(), "cd");
  EXPECT_EQ(TrimmedRow(1), "ab");
  EXPECT_EQ(TrimmedRow(2), "  cd");
}

TEST_F(LineInputTest, KeypadSlashIsASlashAndOtherExtendedKeysAreIgnored) {
  Queue(CharKey('/', 111, 53, KeyState::kEnhanced));
  Queue(KeyPress(112, 59));                         // F1
  Queue(KeyPress(46, 83, 0, KeyState::kEnhanced));  // Del
  Type("x");
  Queue(EnterKey());
  EXPECT_EQ(ReadLine(), "/x");
}

TEST_F(LineInputTest, CtrlZIsIgnoredUnlessCheckEofIsSet) {
  Type(
      "a\x1a"
      "b");
  Queue(EnterKey());
  EXPECT_EQ(ReadLine(), "ab");
  CheckEOF = true;
  Type("c\x1a");
  CrtRead(Input);
  CheckEOF = false;
  EXPECT_EQ(std::string_view(Input.buffer, Input.bufferEnd), "c\x1a");
  EXPECT_EQ(TrimmedRow(2), "c");
}

TEST_F(LineInputTest, LeftStopsEchoingAtTheWindowEdgeButKeepsMoving) {
  Window(10, 1, 14, 25);
  Type("abcdefg");
  for (int i = 0; i < 7; ++i) Queue(LeftKey());
  Type("XY");
  Queue(EnterKey());
  EXPECT_EQ(ReadLine(), "XYcdefg");
  EXPECT_EQ(Row(1, 10, 14), "abcde");
  EXPECT_EQ(Row(2, 10, 11), "XY");
}

}  // namespace
