#include <gtest/gtest.h>

#include <vector>

#include "console/Keyboard.h"
#include "support/ConsoleFixture.h"

namespace {

using namespace testing_support;
using namespace KeyState;

struct RemapCase {
  uint16_t scan;
  uint32_t state;
  uint8_t code;
  bool ordinary;
};

TEST(RemapScanCodeTest, EveryModifierRow) {
  const RemapCase cases[] = {
      // Alt is tested first.
      {2, kLeftAlt, 120, false},
      {13, kRightAlt, 131, false},
      {28, kLeftAlt, 166, false},
      {53, kLeftAlt, 164, false},
      {59, kLeftAlt, 104, false},
      {68, kLeftAlt, 113, false},
      {71, kLeftAlt, 151, false},
      {73, kLeftAlt, 153, false},
      {75, kLeftAlt, 155, false},
      {77, kLeftAlt, 157, false},
      {79, kLeftAlt, 159, false},
      {83, kLeftAlt, 163, false},
      {87, kLeftAlt, 139, false},
      {88, kLeftAlt | kCtrl, 140, false},
      {45, kLeftAlt, 45, false},
      {76, kLeftAlt, 76, false},
      {14, kLeftAlt, 14, false},
      // Ctrl without Alt.
      {15, kLeftCtrl, 148, false},
      {28, kRightCtrl, 10, true},
      {53, kLeftCtrl, 149, false},
      {55, kLeftCtrl, 150, false},
      {59, kLeftCtrl, 94, false},
      {68, kLeftCtrl, 103, false},
      {71, kLeftCtrl, 119, false},
      {72, kLeftCtrl, 141, false},
      {73, kLeftCtrl, 132, false},
      {74, kLeftCtrl, 142, false},
      {75, kLeftCtrl, 115, false},
      {76, kLeftCtrl, 143, false},
      {77, kLeftCtrl, 116, false},
      {78, kLeftCtrl, 78, false},
      {79, kLeftCtrl, 117, false},
      {80, kLeftCtrl, 145, false},
      {81, kLeftCtrl, 118, false},
      {82, kLeftCtrl, 146, false},
      {83, kLeftCtrl | kShift, 147, false},
      {87, kLeftCtrl, 137, false},
      {88, kLeftCtrl, 138, false},
      {30, kLeftCtrl, 30, false},
      // Shift only.
      {28, kShift, 13, true},
      {59, kShift, 84, false},
      {68, kShift, 93, false},
      {87, kShift, 135, false},
      {88, kShift, 136, false},
      {72, kShift, 72, false},
      // No modifier.
      {28, 0, 13, true},
      {87, 0, 133, false},
      {88, 0, 134, false},
      {59, 0, 59, false},
      {83, kEnhanced, 83, false},
  };
  for (const auto& c : cases) {
    bool ordinary = !c.ordinary;
    EXPECT_EQ(RemapScanCode(c.scan, c.state, ordinary), c.code)
        << "scan " << c.scan << " state 0x" << std::hex << c.state;
    EXPECT_EQ(ordinary, c.ordinary) << "scan " << c.scan;
  }
}

class KeyboardTest : public ConsoleTest {
 protected:
  std::vector<int> ReadKeys(int count) {
    std::vector<int> keys;
    for (int i = 0; i < count; ++i) keys.push_back(ReadKey());
    return keys;
  }
};

TEST_F(KeyboardTest, ExtendedKeyEndsTwoWaits) {
  Queue(KeyPress(38, 72, 0, kEnhanced));              // Up
  Queue(KeyPress(112, 59));                           // F1
  Queue(CharKey('/', 111, 53, kEnhanced));            // keypad '/'
  Queue(CharKey('\r', 13, 28, kEnhanced));            // keypad Enter
  Queue(KeyPress(37, 75, 0, kEnhanced | kLeftCtrl));  // Ctrl+Left
  Queue(CharKey('x', 88, 45, kLeftAlt));              // Alt+x
  Queue(CharKey('\t', 9, 15, kShift));                // Shift+Tab
  Queue(KeyPress(122, 87));                           // F11
  EXPECT_EQ(ReadKeys(15),
            (std::vector<int>{0, 72, 0, 59, 0, 53, 13, 0, 115, 0, 45, 0, 15, 0, 133}));
}

TEST_F(KeyboardTest, LoneModifiersAndReleasesDoNotEndAWait) {
  for (uint16_t vk : {16, 17, 18, 20, 144, 145}) Queue(KeyPress(vk, 0));
  Queue(Release(16, 42));
  Queue(Release(65, 30));
  KeyEvent focus;
  focus.isKey = false;
  Queue(focus);
  EXPECT_FALSE(KeyPressed());
  Queue(CharKey('a', 65, 30));
  EXPECT_EQ(ReadKey(), 'a');
}

TEST_F(KeyboardTest, RightAltCharactersArriveAsCharacters) {
  Queue(CharKey('@', 86, 47, kRightAlt | kLeftCtrl));
  EXPECT_EQ(ReadKey(), '@');
}

TEST_F(KeyboardTest, AltWithKeypadDigitsComposesOneCharacter) {
  Queue(KeyPress(18, 56, 0, kLeftAlt));
  Queue(CharKey('6', 102, 77, kLeftAlt));  // keypad 6
  Queue(Release(102, 77, kLeftAlt));
  Queue(CharKey('5', 101, 76, kLeftAlt));  // keypad 5
  Queue(Release(101, 76, kLeftAlt));
  EXPECT_FALSE(KeyPressed());
  EXPECT_TRUE(AltNumberStarted);
  Queue(Release(18, 56));
  EXPECT_EQ(ReadKey(), 65);
  EXPECT_FALSE(AltNumberStarted);
  EXPECT_EQ(AltNumber, 0);
}

TEST_F(KeyboardTest, AltNumberWrapsAtTwoHundredFiftySix) {
  const std::pair<char, uint16_t> keypadDigits[] = {{'3', 81}, {'0', 82}, {'1', 79}};
  for (auto [digit, scan] : keypadDigits) Queue(CharKey(digit, 0, scan, kLeftAlt));
  Queue(Release(18, 56));
  EXPECT_EQ(ReadKey(), 45);  // 301 mod 256
}

TEST_F(KeyboardTest, PendingExtendedCodeSurvivesUntilTheNextRead) {
  Queue(KeyPress(40, 80, 0, kEnhanced));
  EXPECT_TRUE(KeyPressed());
  EXPECT_EQ(ReadKey(), 0);
  EXPECT_TRUE(KeyPressed());
  EXPECT_EQ(ReadKey(), 80);
}

TEST_F(KeyboardTest, InputThatEndsEndsTheRunAsAnInterruptedOne) {
  EXPECT_EXIT(ReadKey(), ::testing::ExitedWithCode(217), "");
}

}  // namespace
