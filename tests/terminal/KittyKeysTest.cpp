// kitty's key events against the key events a PC keyboard gives: text keys,
// editing keys, lone modifiers, lock keys, the keypad with and without Num Lock,
// event types, the sequences dropped; and the keyboard's algorithms fed by them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/Keyboard.h"
#include "support/ConsoleFixture.h"

namespace {

using namespace testing_support;
using namespace testing_support::Held;

std::vector<KeyEvent> DecodeKitty(const std::string& bytes) {
  return Decode(bytes, KeyProtocol::kKitty);
}

void ExpectTable(const std::vector<std::pair<std::string, ExpectedKey>>& cases) {
  for (const auto& [bytes, key] : cases) {
    SCOPED_TRACE(bytes.substr(1));
    EXPECT_EQ(DecodeKitty(bytes), std::vector<KeyEvent>{EventOf(key)});
  }
}

TEST(KittyKeysTest, TextKeysByTheirUnshiftedCode) {
  ExpectTable({
      {"\x1b[97u", {65, 30, 'a', 0}},
      {"\x1b[97;2u", {65, 30, 'A', kShift}},
      {"\x1b[97;65u", {65, 30, 'A', kCaps}},
      {"\x1b[97;66u", {65, 30, 'a', kShift | kCaps}},
      {"\x1b[49;2u", {49, 2, '!', kShift}},
      {"\x1b[49;65u", {49, 2, '1', kCaps}},  // Caps Lock shifts letters only
      {"\x1b[47;2u", {191, 53, '?', kShift}},
      {"\x1b[32u", {32, 57, ' ', 0}},
      {"\x1b[97:65;2u", {65, 30, 'A', kShift}},  // the shifted key named
      {"\x1b[97;2;65u", {65, 30, 'A', kShift}},  // the text named
      // The text is what the terminal's layout types: Shift+6 gives '/' on a
      // Hungarian keyboard, '^' on the US one, which is used only without text.
      {"\x1b[54;2;47u", {54, 7, '/', kShift}},
      {"\x1b[54;2u", {54, 7, '^', kShift}},
      {"\x1b[56;2;40u", {56, 9, '(', kShift}},
      {"\x1b[246;2;214u", {0, 0, 0xD6, kShift}},  // Ö
      {"\x1b[113;1;92u", {81, 16, '\\', 0}},      // AltGr+Q gives '\' in Hungarian
      {"\x1b[233u", {0, 0, 0xE9, 0}},             // é
      {"\x1b[233;2u", {0, 0, 0xC9, kShift}},      // É
      {"\x1b[337;2u", {0, 0, 0xD5, kShift}},      // Ő from ő
      {"\x1b[369;65u", {0, 0, 0xDB, kCaps}},      // Ű from ű
      {"\x1b[20013u", {0, 0, '?', 0}},            // not in the code page
      {"\x1b[97;3u", {65, 30, 'a', kAlt}},
      {"\x1b[97;;97:98:99:100:101:102u", {65, 30, 'a', 0}},  // the text's first character
  });
}

TEST(KittyKeysTest, CtrlGivesControlBytesAsAPcConsoleDoes) {
  ExpectTable({
      {"\x1b[97;5u", {65, 30, 1, kCtrl}},
      {"\x1b[100;5u", {68, 32, 4, kCtrl}},
      {"\x1b[100;5;100u", {68, 32, 4, kCtrl}},  // with the key's text too
      {"\x1b[122;6u", {90, 44, 26, kCtrl | kShift}},
      {"\x1b[91;5u", {219, 26, 0x1B, kCtrl}},
      {"\x1b[93;5u", {221, 27, 0x1D, kCtrl}},
      {"\x1b[54;5u", {54, 7, 0x1E, kCtrl}},
      {"\x1b[45;5u", {189, 12, 0x1F, kCtrl}},
      {"\x1b[50;5u", {50, 3, 0, kCtrl}},
      {"\x1b[49;5u", {49, 2, 0, kCtrl}},
      {"\x1b[13;5u", {13, 28, 10, kCtrl}},
      {"\x1b[57414;5u", {13, 28, 10, kCtrl | kEnh}},
      {"\x1b[57411;5u", {106, 55, 0, kCtrl}},  // the keypad gives no byte with Ctrl
      {"\x1b[9;5u", {9, 15, 0, kCtrl}},
      {"\x1b[127;5u", {8, 14, 0x7F, kCtrl}},
  });
}

TEST(KittyKeysTest, EditingCursorAndFunctionKeys) {
  ExpectTable({
      {"\x1b[13u", {13, 28, 13, 0}},
      {"\x1b[9u", {9, 15, 9, 0}},
      {"\x1b[9;2u", {9, 15, 9, kShift}},
      {"\x1b[127u", {8, 14, 8, 0}},
      {"\x1b[27u", {27, 1, 27, 0}},
      {"\x1b[A", {38, 72, 0, kEnh}},
      {"\x1b[1;5A", {38, 72, 0, kEnh | kCtrl}},
      {"\x1b[1;129D", {37, 75, 0, kEnh | kNum}},
      {"\x1b[1;1:3B", {40, 80, 0, kEnh, false}},
      {"\x1b[1;3H", {36, 71, 0, kEnh | kAlt}},
      {"\x1b[3~", {46, 83, 0, kEnh}},
      {"\x1b[3;1:2~", {46, 83, 0, kEnh}},
      {"\x1b[5;2:3~", {33, 73, 0, kEnh | kShift, false}},
      {"\x1b[P", {112, 59, 0, 0}},
      {"\x1b[1;3P", {112, 59, 0, kAlt}},
      {"\x1b[13~", {114, 61, 0, 0}},
      {"\x1b[15;2~", {116, 63, 0, kShift}},
      {"\x1b[24;5:3~", {123, 88, 0, kCtrl, false}},
  });
}

TEST(KittyKeysTest, ModifierAndLockKeysAsKeysOfTheirOwn) {
  ExpectTable({
      {"\x1b[57441;2u", {16, 42, 0, kShift}},
      {"\x1b[57441;1:3u", {16, 42, 0, 0, false}},
      {"\x1b[57447;2u", {16, 54, 0, kShift}},
      {"\x1b[57442;5u", {17, 29, 0, kCtrl}},
      {"\x1b[57448;5u", {17, 29, 0, kRCtrl | kEnh}},
      {"\x1b[57443;3u", {18, 56, 0, kAlt}},
      {"\x1b[57443;1:3u", {18, 56, 0, 0, false}},
      {"\x1b[57449;3u", {18, 56, 0, kRAlt | kEnh}},
      {"\x1b[57358;65u", {20, 58, 0, kCaps}},
      {"\x1b[57359u", {145, 70, 0, 0}},
      {"\x1b[57360;129u", {144, 69, 0, kNum}},
  });
}

TEST(KittyKeysTest, TheKeypadToldFromTheCursorBlock) {
  ExpectTable({
      {"\x1b[57399;129u", {96, 82, '0', kNum}},
      {"\x1b[57400;129u", {97, 79, '1', kNum}},
      {"\x1b[57404;129u", {101, 76, '5', kNum}},
      {"\x1b[57405;129u", {102, 77, '6', kNum}},
      {"\x1b[57408;129u", {105, 73, '9', kNum}},
      {"\x1b[57409;129u", {110, 83, '.', kNum}},
      {"\x1b[57399u", {45, 82, 0, 0}},  // Num Lock off: the editing keys
      {"\x1b[57405u", {39, 77, 0, 0}},
      {"\x1b[57404u", {12, 76, 0, 0}},
      {"\x1b[57409u", {46, 83, 0, 0}},
      {"\x1b[57410u", {111, 53, '/', kEnh}},
      {"\x1b[57411u", {106, 55, '*', 0}},
      {"\x1b[57412u", {109, 74, '-', 0}},
      {"\x1b[57413u", {107, 78, '+', 0}},
      {"\x1b[57414u", {13, 28, '\r', kEnh}},
      {"\x1b[57417u", {37, 75, 0, 0}},
      {"\x1b[57420u", {40, 80, 0, 0}},
      {"\x1b[57423u", {36, 71, 0, 0}},
      {"\x1b[57426u", {46, 83, 0, 0}},
      {"\x1b[57427u", {12, 76, 0, 0}},
      {"\x1b[57427~", {12, 76, 0, 0}},
      {"\x1b[E", {12, 76, 0, 0}},
      {"\x1b[57405;131u", {102, 77, '6', kAlt | kNum}},
  });
}

TEST(KittyKeysTest, KeysAPcKeyboardLacksAndMalformedEventsAreDropped) {
  for (const std::string sequence : {
           "\x1b[57444;9u",    // Super
           "\x1b[57376u",      // F13
           "\x1b[57428u",      // a media key
           "\x1b[97;1:4u",     // no such event type
           "\x1b[97;258u",     // modifiers out of range
           "\x1b[0u",          // no key
           "\x1b[97;1;97;1u",  // four fields
           "\x1b[97:1:2:3u",   // four sub-fields
           "\x1b[2;1:3R",      // no kitty key ends in R
       }) {
    SCOPED_TRACE(sequence.substr(1));
    const std::vector<KeyEvent> events = DecodeKitty(sequence + "\x1b[113u");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].character, 'q');
  }
}

TEST(KittyKeysTest, AltAndCtrlBitsNameTheSideThatIsHeld) {
  const std::vector<KeyEvent> events = DecodeKitty(
      "\x1b[57449;3u\x1b[97;3u\x1b[57449;1:3u\x1b[97;3u"  // right Alt, then Alt of unknown side
      "\x1b[57448;5u\x1b[57442;5u\x1b[97;5u");            // both Ctrl keys: left counts
  ASSERT_EQ(events.size(), 7u);
  EXPECT_EQ(events[1].controlState, kRAlt);
  EXPECT_EQ(events[2].controlState, kEnh);
  EXPECT_EQ(events[3].controlState, kAlt);
  EXPECT_EQ(events[6].controlState, kCtrl);
}

TEST(KittyKeysTest, AKeyWithAltIsNotFollowedByAMadeUpRelease) {
  EXPECT_EQ(DecodeKitty("\x1b[120;3u").size(), 1u);
}

TEST(KittyKeysTest, TheCsiUFormDecodesOnALegacyTerminalToo) {
  // Some terminals send modified keys as CSI u unasked; without releases the
  // decoder still lets Alt go after a key typed with it.
  const std::vector<KeyEvent> events = Decode("\x1b[97;5u\x1b[120;3u");
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0], EventOf({65, 30, 1, kCtrl}));
  EXPECT_EQ(events[1], EventOf({88, 45, 'x', kAlt}));
  EXPECT_FALSE(events[2].keyDown);
  EXPECT_EQ(events[2].virtualKey, 18);
}

// The keyboard's algorithms on what a kitty terminal sends.
class KittyKeyboardTest : public testing_support::ConsoleTest {
 protected:
  void Send(const std::string& bytes) {
    for (const KeyEvent& event : DecodeKitty(bytes)) Queue(event);
  }
};

TEST_F(KittyKeyboardTest, AltWithKeypadDigitsComposesACharacter) {
  Send(
      "\x1b[57443;131u"                     // Alt down (Num Lock on)
      "\x1b[57405;131u\x1b[57405;131:3u"    // keypad 6
      "\x1b[57404;131u\x1b[57404;131:3u");  // keypad 5
  EXPECT_FALSE(KeyPressed());
  Send("\x1b[57443;129:3u");  // Alt up
  EXPECT_TRUE(KeyPressed());
  EXPECT_EQ(ReadKey(), 65);
  EXPECT_FALSE(KeyPressed());
}

TEST_F(KittyKeyboardTest, LoneModifiersLockKeysAndReleasesEndNoWait) {
  Send(
      "\x1b[57441;2u\x1b[57441;1:3u\x1b[57442;5u\x1b[57442;1:3u\x1b[57443;3u\x1b[57443;1:3u"
      "\x1b[57358;65u\x1b[57358;1:3u\x1b[57360;129u\x1b[57360;1:3u\x1b[97;1:3u");
  EXPECT_FALSE(KeyPressed());
  Send("\x1b[107u");
  EXPECT_EQ(ReadKey(), 'k');
}

TEST_F(KittyKeyboardTest, ExtendedCodesFollowTheModifiersHeld) {
  const struct {
    std::string bytes;
    std::vector<int> codes;
  } cases[] = {
      {"\x1b[1;5P", {0, 94}},       // Ctrl+F1
      {"\x1b[1;3P", {0, 104}},      // Alt+F1
      {"\x1b[1;2P", {0, 84}},       // Shift+F1
      {"\x1b[1;5D", {0, 115}},      // Ctrl+Left
      {"\x1b[57410;5u", {0, 149}},  // Ctrl+keypad '/'
      {"\x1b[57411;5u", {0, 150}},  // Ctrl+keypad '*'
      {"\x1b[13;3u", {0, 166}},     // Alt+Enter
      {"\x1b[13;5u", {10}},         // Ctrl+Enter
      {"\x1b[9;2u", {0, 15}},       // Shift+Tab
      {"\x1b[9;5u", {0, 148}},      // Ctrl+Tab
      {"\x1b[50;3u", {0, 121}},     // Alt+2
      {"\x1b[97;3u", {0, 30}},      // Alt+a
      {"\x1b[57410u", {0, 53}},     // keypad '/'
      {"\x1b[57414u", {13}},        // keypad Enter
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.substr(1));
    Send(c.bytes);
    std::vector<int> codes;
    while (KeyPressed()) codes.push_back(ReadKey());
    EXPECT_EQ(codes, c.codes);
    EXPECT_FALSE(KeyPressed());
  }
}

}  // namespace
