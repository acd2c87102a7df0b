// win32-input-mode records against the key events they carry, field by field,
// and the keyboard's Alt+keypad composition fed by them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/Keyboard.h"
#include "support/ConsoleFixture.h"

namespace {

using namespace testing_support;

std::vector<KeyEvent> DecodeWin32(const std::string& bytes) {
  return Decode(bytes, KeyProtocol::kWin32Input);
}

TEST(Win32InputKeysTest, RecordsCarryTheirFieldsAsSent) {
  const std::vector<std::pair<std::string, ExpectedKey>> cases = {
      {"\x1b[16;42;0;1;16;1_", {16, 42, 0, 0x10}},  // Shift down
      {"\x1b[65;30;65;1;16;1_", {65, 30, 'A', 0x10}},
      {"\x1b[16;42;0;0;0;1_", {16, 42, 0, 0, false}},  // Shift up
      {"\x1b[65;30;97;0;0;1_", {65, 30, 'a', 0, false}},
      {"\x1b[112;59;0;1;8;1_", {112, 59, 0, 0x08}},  // Ctrl+F1
      {"\x1b[37;75;0;1;256;3_", {37, 75, 0, 0x100, true, 3}},
      {"\x1b[18;56;0;1;258;1_", {18, 56, 0, 0x102}},
      {"\x1b[0;0;225;1;0;1_", {0, 0, 0xE1, 0}},   // á
      {"\x1b[0;0;337;1;0;1_", {0, 0, 0xF5, 0}},   // ő
      {"\x1b[0;0;8364;1;0;1_", {0, 0, 0x80, 0}},  // €
      {"\x1b[0;0;20013;1;0;1_", {0, 0, '?', 0}},  // not in the code page
      {"\x1b[0;0;55357;1;0;1_", {0, 0, '?', 0}},  // half of a surrogate pair
      {"\x1b[_", {0, 0, 0, 0, false}},            // every field by default
      {"\x1b[65;;97;1_", {65, 0, 'a', 0}},
  };
  for (const auto& [bytes, key] : cases) {
    SCOPED_TRACE(bytes.substr(1));
    EXPECT_EQ(DecodeWin32(bytes), std::vector<KeyEvent>{EventOf(key)});
  }
}

TEST(Win32InputKeysTest, MalformedRecordsAndRecordsUnaskedAreDropped) {
  for (const std::string sequence : {
           "\x1b[1;2;3;4;5;6;7_",  // seven fields
           "\x1b[65:1;30_",        // a sub-parameter
           "\x1b[70000;30;0;1;0;1_",
       }) {
    SCOPED_TRACE(sequence.substr(1));
    const std::vector<KeyEvent> events = DecodeWin32(sequence + "\x1b[81;16;113;1;0;1_");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].character, 'q');
  }
  EXPECT_TRUE(Decode("\x1b[65;30;97;1;0;1_").empty());
}

TEST(Win32InputKeysTest, AKeyWithAltIsNotFollowedByAMadeUpRelease) {
  EXPECT_EQ(DecodeWin32("\x1b[88;45;120;1;2;1_").size(), 1u);
}

class Win32InputKeyboardTest : public testing_support::ConsoleTest {};

TEST_F(Win32InputKeyboardTest, AltWithKeypadDigitsComposesACharacter) {
  for (const KeyEvent& event :
       DecodeWin32("\x1b[18;56;0;1;34;1_"                          // Alt down, Num Lock on
                   "\x1b[102;77;0;1;34;1_\x1b[102;77;0;0;34;1_"    // keypad 6
                   "\x1b[101;76;0;1;34;1_\x1b[101;76;0;0;34;1_"))  // keypad 5
    Queue(event);
  EXPECT_FALSE(KeyPressed());
  for (const KeyEvent& event : DecodeWin32("\x1b[18;56;65;0;32;1_")) Queue(event);  // Alt up
  EXPECT_EQ(ReadKey(), 65);
  EXPECT_FALSE(KeyPressed());
}

}  // namespace
