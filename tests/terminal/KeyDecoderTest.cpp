// The terminal key decoder: byte sequences of each terminal family against
// the key events a PC keyboard gives for the same keys, the Esc timeout,
// UTF-8 text and the sequences that are dropped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/Keyboard.h"
#include "support/ConsoleFixture.h"
#include "terminal/KeyLayout.h"

namespace {

using namespace testing_support;
using namespace testing_support::Held;
constexpr int64_t kStart = 1000;
// The Linux console is known by its entry's F1.
const std::vector<DeclaredKey> kLinuxConsoleKeys = {{"\x1b[[A", EventOf({112, 59, 0, 0})}};

struct Case {
  std::string bytes;
  ExpectedKey key;
};

// The events one key press gives: the press, and an Alt release after a key typed with Alt.
std::vector<KeyEvent> EventsOf(const ExpectedKey& key) {
  std::vector<KeyEvent> events = {EventOf(key)};
  if (key.controlState & KeyState::kAlt) events.push_back(AltRelease());
  return events;
}

std::string Printable(const std::string& bytes) {
  std::string text;
  for (const unsigned char c : bytes) {
    if (c == 0x1b)
      text += "ESC ";
    else if (c < 0x20 || c >= 0x7f)
      text += "\\x" + std::to_string(c) + " ";
    else
      text += c;
  }
  return text;
}

void ExpectTable(const std::vector<Case>& cases, const std::vector<DeclaredKey>& declared = {}) {
  for (const Case& c : cases) {
    SCOPED_TRACE(Printable(c.bytes));
    EXPECT_EQ(Decode(c.bytes, KeyProtocol::kLegacy, declared), EventsOf(c.key));
    // The same bytes one at a time, all within the timeout, give the same key.
    KeyDecoder decoder(declared);
    for (const char byte : c.bytes) decoder.Feed(std::string(1, byte), kStart);
    EXPECT_EQ(TakeEvents(decoder), EventsOf(c.key));
    EXPECT_TRUE(decoder.Empty());
  }
}

TEST(KeyDecoderTest, CursorAndEditingBlock) {
  ExpectTable({
      {"\x1b[A", {38, 72, 0, kEnh}},  {"\x1b[B", {40, 80, 0, kEnh}},
      {"\x1b[C", {39, 77, 0, kEnh}},  {"\x1b[D", {37, 75, 0, kEnh}},
      {"\x1b[H", {36, 71, 0, kEnh}},  {"\x1b[F", {35, 79, 0, kEnh}},
      {"\x1bOA", {38, 72, 0, kEnh}},  {"\x1bOB", {40, 80, 0, kEnh}},
      {"\x1bOC", {39, 77, 0, kEnh}},  {"\x1bOD", {37, 75, 0, kEnh}},
      {"\x1bOH", {36, 71, 0, kEnh}},  {"\x1bOF", {35, 79, 0, kEnh}},
      {"\x1b[1~", {36, 71, 0, kEnh}}, {"\x1b[2~", {45, 82, 0, kEnh}},
      {"\x1b[3~", {46, 83, 0, kEnh}}, {"\x1b[4~", {35, 79, 0, kEnh}},
      {"\x1b[5~", {33, 73, 0, kEnh}}, {"\x1b[6~", {34, 81, 0, kEnh}},
      {"\x1b[7~", {36, 71, 0, kEnh}}, {"\x1b[8~", {35, 79, 0, kEnh}},
  });
}

TEST(KeyDecoderTest, ModifierParameterOfCursorKeys) {
  ExpectTable({
      {"\x1b[1;2A", {38, 72, 0, kEnh | kShift}},
      {"\x1b[1;3C", {39, 77, 0, kEnh | kAlt}},
      {"\x1b[1;5D", {37, 75, 0, kEnh | kCtrl}},
      {"\x1b[1;6B", {40, 80, 0, kEnh | kCtrl | kShift}},
      {"\x1b[1;8H", {36, 71, 0, kEnh | kCtrl | kAlt | kShift}},
      {"\x1b[1;9F", {35, 79, 0, kEnh}},  // Meta alone sets no bit
      {"\x1b[3;5~", {46, 83, 0, kEnh | kCtrl}},
      {"\x1b[5;2~", {33, 73, 0, kEnh | kShift}},
      {"\x1b[2;3~", {45, 82, 0, kEnh | kAlt}},
      {"\x1b[2^", {45, 82, 0, kEnh | kCtrl}},  // rxvt
      {"\x1b[3$", {46, 83, 0, kEnh | kShift}},
      {"\x1b[6@", {34, 81, 0, kEnh | kCtrl | kShift}},
      {"\x1b[a", {38, 72, 0, kEnh | kShift}},
      {"\x1bOd", {37, 75, 0, kEnh | kCtrl}},
  });
}

TEST(KeyDecoderTest, FunctionKeys) {
  ExpectTable({
      {"\x1bOP", {112, 59, 0, 0}},          {"\x1bOQ", {113, 60, 0, 0}},
      {"\x1bOR", {114, 61, 0, 0}},          {"\x1bOS", {115, 62, 0, 0}},
      {"\x1b[11~", {112, 59, 0, 0}},        {"\x1b[12~", {113, 60, 0, 0}},
      {"\x1b[13~", {114, 61, 0, 0}},        {"\x1b[14~", {115, 62, 0, 0}},
      {"\x1b[15~", {116, 63, 0, 0}},        {"\x1b[17~", {117, 64, 0, 0}},
      {"\x1b[18~", {118, 65, 0, 0}},        {"\x1b[19~", {119, 66, 0, 0}},
      {"\x1b[20~", {120, 67, 0, 0}},        {"\x1b[21~", {121, 68, 0, 0}},
      {"\x1b[23~", {122, 87, 0, 0}},        {"\x1b[24~", {123, 88, 0, 0}},
      {"\x1b[[A", {112, 59, 0, 0}},         {"\x1b[[B", {113, 60, 0, 0}},
      {"\x1b[[C", {114, 61, 0, 0}},         {"\x1b[[D", {115, 62, 0, 0}},
      {"\x1b[[E", {116, 63, 0, 0}},         {"\x1b[P", {112, 59, 0, 0}},
      {"\x1b[1;2P", {112, 59, 0, kShift}},  {"\x1b[1;3Q", {113, 60, 0, kAlt}},
      {"\x1b[1;2R", {114, 61, 0, kShift}},  // not a cursor position report
      {"\x1b[1;5S", {115, 62, 0, kCtrl}},   {"\x1bO2P", {112, 59, 0, kShift}},
      {"\x1bO5S", {115, 62, 0, kCtrl}},     {"\x1b[3P", {112, 59, 0, kAlt}},
      {"\x1b[>1;2Q", {113, 60, 0, kShift}}, {"\x1b[15;2~", {116, 63, 0, kShift}},
      {"\x1b[21;3~", {121, 68, 0, kAlt}},   {"\x1b[24;5~", {123, 88, 0, kCtrl}},
  });
}

TEST(KeyDecoderTest, ApplicationKeypad) {
  ExpectTable({
      {"\x1bOp", {96, 82, '0', 0}},         {"\x1bOq", {97, 79, '1', 0}},
      {"\x1bOr", {98, 80, '2', 0}},         {"\x1bOs", {99, 81, '3', 0}},
      {"\x1bOt", {100, 75, '4', 0}},        {"\x1bOu", {101, 76, '5', 0}},
      {"\x1bOv", {102, 77, '6', 0}},        {"\x1bOw", {103, 71, '7', 0}},
      {"\x1bOx", {104, 72, '8', 0}},        {"\x1bOy", {105, 73, '9', 0}},
      {"\x1bOn", {110, 83, '.', 0}},        {"\x1bOM", {13, 28, '\r', kEnh}},
      {"\x1bOo", {111, 53, '/', kEnh}},     {"\x1bOj", {106, 55, '*', 0}},
      {"\x1bOm", {109, 74, '-', 0}},        {"\x1bOk", {107, 78, '+', 0}},
      {"\x1bOl", {107, 78, '+', 0}},        {"\x1b[E", {12, 76, 0, 0}},
      {"\x1b[G", {12, 76, 0, 0}},           {"\x1bO3q", {97, 79, '1', kAlt}},
      {"\x1b\x1bOt", {100, 75, '4', kAlt}},
  });
}

TEST(KeyDecoderTest, LinuxConsoleKeypadOperators) {
  ExpectTable(
      {
          {"\x1bOQ", {111, 53, '/', kEnh}},
          {"\x1bOR", {106, 55, '*', 0}},
          {"\x1bOS", {109, 74, '-', 0}},
          {"\x1bOl", {107, 78, '+', 0}},
          {"\x1bOp", {96, 82, '0', 0}},
          {"\x1b[[A", {112, 59, 0, 0}},
          {"\x1b[[E", {116, 63, 0, 0}},
          {"\x1b[1~", {36, 71, 0, kEnh}},
      },
      kLinuxConsoleKeys);
}

TEST(KeyDecoderTest, SequencesOnlyATerminalsDescriptionDeclares) {
  // A VT52's PF1 and PF2 as F1 and F2, and F1 of a terminal that ends its
  // function keys in 'q'; where the tables know a sequence (keypad 1 as SS3 q),
  // their meaning stays, and Esc with a letter no description names is still Alt.
  const std::vector<DeclaredKey> declared = {
      {"\x1bP", EventOf({112, 59, 0, 0})},
      {"\x1bQ", EventOf({113, 60, 0, 0})},
      {"\x1b[001q", EventOf({112, 59, 0, 0})},
      {"\x1bOq", EventOf({36, 71, 0, 0})},
  };
  ExpectTable(
      {
          {"\x1bP", {112, 59, 0, 0}},
          {"\x1bQ", {113, 60, 0, 0}},
          {"\x1b[001q", {112, 59, 0, 0}},
          {"\x1bOq", {97, 79, '1', 0}},
          {"\x1bS", {83, 31, 'S', kAlt | kShift}},
      },
      declared);
  // Keys reported by kitty's protocol are its own events only.
  KeyDecoder kitty(declared);
  kitty.SetProtocol(KeyProtocol::kKitty);
  kitty.Feed("\x1bP", kStart);
  kitty.Flush();
  EXPECT_EQ(TakeEvents(kitty), std::vector<KeyEvent>{EventOf({80, 25, 'P', kAlt | kShift})});
}

TEST(KeyDecoderTest, ControlBytesAndPlainKeys) {
  ExpectTable({
      {"\r", {13, 28, 13, 0}},
      {"\n", {74, 36, 10, kCtrl}},
      {"\x7f", {8, 14, 8, 0}},
      {"\x08", {8, 14, 8, 0}},
      {"\t", {9, 15, 9, 0}},
      {"\x1b[Z", {9, 15, 9, kShift}},
      {" ", {32, 57, ' ', 0}},
      {std::string(1, '\0'), {50, 3, 0, kCtrl}},
      {"\x01", {65, 30, 1, kCtrl}},
      {"\x03", {67, 46, 3, kCtrl}},
      {"\x13", {83, 31, 19, kCtrl}},
      {"\x19", {89, 21, 25, kCtrl}},
      {"\x1a", {90, 44, 26, kCtrl}},
      {"\x1c", {220, 43, 0x1c, kCtrl}},
      {"\x1d", {221, 27, 0x1d, kCtrl}},
      {"\x1e", {54, 7, 0x1e, kCtrl | kShift}},
      {"\x1f", {189, 12, 0x1f, kCtrl | kShift}},
  });
}

TEST(KeyDecoderTest, PrintableAsciiOnTheUsLayout) {
  ExpectTable({
      {"a", {65, 30, 'a', 0}},        {"A", {65, 30, 'A', kShift}},  {"q", {81, 16, 'q', 0}},
      {"m", {77, 50, 'm', 0}},        {"z", {90, 44, 'z', 0}},       {"Z", {90, 44, 'Z', kShift}},
      {"1", {49, 2, '1', 0}},         {"9", {57, 10, '9', 0}},       {"0", {48, 11, '0', 0}},
      {"!", {49, 2, '!', kShift}},    {"@", {50, 3, '@', kShift}},   {"^", {54, 7, '^', kShift}},
      {")", {48, 11, ')', kShift}},   {"-", {189, 12, '-', 0}},      {"_", {189, 12, '_', kShift}},
      {"=", {187, 13, '=', 0}},       {"+", {187, 13, '+', kShift}}, {"[", {219, 26, '[', 0}},
      {"{", {219, 26, '{', kShift}},  {"]", {221, 27, ']', 0}},      {"}", {221, 27, '}', kShift}},
      {";", {186, 39, ';', 0}},       {":", {186, 39, ':', kShift}}, {"'", {222, 40, '\'', 0}},
      {"\"", {222, 40, '"', kShift}}, {"`", {192, 41, '`', 0}},      {"~", {192, 41, '~', kShift}},
      {"\\", {220, 43, '\\', 0}},     {"|", {220, 43, '|', kShift}}, {",", {188, 51, ',', 0}},
      {"<", {188, 51, '<', kShift}},  {".", {190, 52, '.', 0}},      {">", {190, 52, '>', kShift}},
      {"/", {191, 53, '/', 0}},       {"?", {191, 53, '?', kShift}},
  });
}

TEST(KeyDecoderTest, EveryPrintableByteHasAKeyOfItsOwn) {
  // Each printable byte is typed by a different key and Shift combination,
  // and keeps its own byte as the character.
  std::vector<std::pair<uint16_t, uint32_t>> seen;
  for (int byte = 0x20; byte < 0x7f; ++byte) {
    const std::vector<KeyEvent> events = Decode(std::string(1, static_cast<char>(byte)));
    ASSERT_EQ(events.size(), 1u) << byte;
    EXPECT_EQ(events[0].character, byte);
    EXPECT_NE(events[0].virtualKey, 0) << byte;
    EXPECT_NE(events[0].scanCode, 0) << byte;
    const std::pair<uint16_t, uint32_t> key = {events[0].scanCode, events[0].controlState};
    EXPECT_EQ(std::count(seen.begin(), seen.end(), key), 0) << byte;
    seen.push_back(key);
  }
}

TEST(KeyDecoderTest, AltAsAnEscPrefix) {
  ExpectTable({
      {"\x1bx", {88, 45, 'x', kAlt}},
      {"\x1bX", {88, 45, 'X', kAlt | kShift}},
      {"\x1b\r", {13, 28, 13, kAlt}},
      {"\x1b\x7f", {8, 14, 8, kAlt}},
      {"\x1b\x01", {65, 30, 1, kAlt | kCtrl}},
      {"\x1b\x1b[A", {38, 72, 0, kEnh | kAlt}},
      {"\x1b\x1b[1;5D", {37, 75, 0, kEnh | kAlt | kCtrl}},
      {"\x1b\x1bOP", {112, 59, 0, kAlt}},
      {"\x1b\xc3\xa1", {0, 0, 0xE1, kAlt}},
  });
}

TEST(KeyDecoderTest, AKeyWithAltIsFollowedByAnAltRelease) {
  const std::vector<KeyEvent> events = Decode("\x1bxy\x1b[1;3Dz");
  ASSERT_EQ(events.size(), 6u);
  EXPECT_EQ(events[0].character, 'x');
  EXPECT_TRUE(events[0].keyDown);
  for (const int release : {1, 4}) {
    EXPECT_FALSE(events[release].keyDown);
    EXPECT_EQ(events[release].virtualKey, 18);
    EXPECT_EQ(events[release].controlState & KeyState::kAlt, 0u);
  }
  EXPECT_EQ(events[2].character, 'y');
  EXPECT_EQ(events[3].virtualKey, 37);
  EXPECT_EQ(events[5].character, 'z');
  for (const KeyEvent& event : events) EXPECT_EQ(event.repeatCount, 1);
}

TEST(KeyDecoderTest, Utf8TextBecomesWindows1250Bytes) {
  ExpectTable({
      {"\xc3\xa1", {0, 0, 0xE1, 0}},                 // á
      {"\xc5\xb1", {0, 0, 0xFB, 0}},                 // ű
      {"\xc5\x90", {0, 0, 0xD5, 0}},                 // Ő
      {"\xe2\x82\xac", {0, 0, 0x80, 0}},             // €
      {"\xe2\x80\x9e", {0, 0, 0x84, 0}},             // „
      {"\xe4\xb8\xad", {191, 53, '?', kShift}},      // a CJK character
      {"\xf0\x9f\x98\x80", {191, 53, '?', kShift}},  // beyond the BMP
      {"\xc2\x80", {191, 53, '?', kShift}},          // a C1 control
      {"\x80", {191, 53, '?', kShift}},              // a lone continuation byte
      {"\xff", {191, 53, '?', kShift}},
  });
}

TEST(KeyDecoderTest, MalformedUtf8GivesAQuestionMarkPerPiece) {
  const struct {
    std::string bytes;
    std::string characters;
  } cases[] = {
      {"\xc3"
       "a",
       "?a"},                        // cut by an ASCII byte
      {"\xc0\xaf", "??"},            // overlong
      {"\xe0\x80\x80", "???"},       // overlong
      {"\xed\xa0\x80", "???"},       // a surrogate
      {"\xf4\x90\x80\x80", "????"},  // beyond U+10FFFF
      {"\xe2\x82"
       "x",
       "?x"},  // cut after two bytes
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Printable(c.bytes));
    std::string characters;
    for (const KeyEvent& event : Decode(c.bytes)) characters += static_cast<char>(event.character);
    EXPECT_EQ(characters, c.characters);
  }
  // Cut by a sequence, which still decodes.
  const std::vector<KeyEvent> cutBySequence = Decode("\xe2\x82\x1b[A");
  ASSERT_EQ(cutBySequence.size(), 2u);
  EXPECT_EQ(cutBySequence[0].character, '?');
  EXPECT_EQ(cutBySequence[1].virtualKey, 38);
}

TEST(KeyDecoderTest, UnknownSequencesAreDroppedWhole) {
  for (const std::string sequence : {
           "\x1b[25;80R",    // a cursor position report
           "\x1b[200~",      // bracketed paste start
           "\x1b[?1;2c",     // device attributes
           "\x1b[<0;10;5M",  // an SGR mouse report
           "\x1b[I",         // focus in
           "\x1b[99~",       // no such key
           "\x1b[1;17A",     // modifier out of range
           "\x1b[1;0A",
           "\x1b[1:5A",    // sub-parameters
           "\x1b[1;2;3A",  // too many numbers
           "\x1b[ A",      // an intermediate byte
           "\x1b[123456789~",
           "\x1bOX",  // keypad '=' has no PC key
           "\x1b[[Z",
       }) {
    SCOPED_TRACE(Printable(sequence));
    const std::vector<KeyEvent> events = Decode(sequence + "q");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].character, 'q');
  }
  // SS3 P is no keypad key on the Linux console.
  EXPECT_TRUE(Decode("\x1bOP", KeyProtocol::kLegacy, kLinuxConsoleKeys).empty());
}

TEST(KeyDecoderTest, AByteThatCannotEndASequenceCutsItOff) {
  const std::vector<KeyEvent> events = Decode(
      "\x1b[1;5\x01"
      "b");
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0], EventOf({65, 30, 1, kCtrl}));
  EXPECT_EQ(events[1].character, 'b');
  const std::vector<KeyEvent> restarted = Decode("\x1b[1\x1b[B");
  ASSERT_EQ(restarted.size(), 1u);
  EXPECT_EQ(restarted[0].virtualKey, 40);
}

TEST(KeyDecoderTest, SeveralKeysInOneFeedKeepTheirOrder) {
  const std::vector<KeyEvent> events = Decode("ab\x1b[Ac\x1bOP\r");
  ASSERT_EQ(events.size(), 6u);
  EXPECT_EQ(events[0].character, 'a');
  EXPECT_EQ(events[1].character, 'b');
  EXPECT_EQ(events[2].virtualKey, 38);
  EXPECT_EQ(events[3].character, 'c');
  EXPECT_EQ(events[4].virtualKey, 112);
  EXPECT_EQ(events[5].character, '\r');
}

TEST(KeyDecoderTest, InLinesOfTextEveryLineEndIsOneEnter) {
  // Bytes as a pipe, a file or a terminal in line mode gives them, against the
  // same keys as a terminal in raw mode sends them.
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"ab\n\n", "ab\r\r"},     {"ab\r\n\r\n", "ab\r\r"},
      {"ab\r\r", "ab\r\r"},     {"a\r\n\n\rb\n", "a\r\r\rb\r"},  // CR LF, LF, lone CR
      {"\x1b[A\n", "\x1b[A\r"},
  };
  for (const auto& [lines, keys] : cases) {
    SCOPED_TRACE(Printable(lines));
    KeyDecoder whole;
    whole.SetLineEndsAsEnter(true);
    whole.Feed(lines, kStart);
    EXPECT_EQ(TakeEvents(whole), Decode(keys));
    // A CR LF cut between two reads is still one line end.
    KeyDecoder split;
    split.SetLineEndsAsEnter(true);
    for (const char byte : lines) split.Feed(std::string(1, byte), kStart);
    EXPECT_EQ(TakeEvents(split), Decode(keys));
  }
}

TEST(KeyDecoderTest, LoneEscIsTheEscKeyAfterTheTimeout) {
  KeyDecoder decoder;
  EXPECT_EQ(decoder.Deadline(), -1);
  decoder.Feed("\x1b", kStart);
  EXPECT_TRUE(TakeEvents(decoder).empty());
  EXPECT_EQ(decoder.Deadline(), kStart + KeyDecoder::kEscTimeoutMilliseconds);
  decoder.Expire(kStart + KeyDecoder::kEscTimeoutMilliseconds - 1);
  EXPECT_TRUE(TakeEvents(decoder).empty());
  decoder.Expire(kStart + KeyDecoder::kEscTimeoutMilliseconds);
  EXPECT_EQ(TakeEvents(decoder), EventsOf({27, 1, 27, 0}));
  EXPECT_TRUE(decoder.Empty());
  EXPECT_EQ(decoder.Deadline(), -1);
}

TEST(KeyDecoderTest, SequenceSplitWithinTheTimeoutIsOneKey) {
  KeyDecoder decoder;
  decoder.Feed("\x1b", kStart);
  decoder.Expire(kStart + 10);
  decoder.Feed("[A", kStart + 10);
  EXPECT_EQ(TakeEvents(decoder), EventsOf({38, 72, 0, kEnh}));
  EXPECT_TRUE(decoder.Empty());
}

TEST(KeyDecoderTest, TheTimeoutRunsFromTheLastByte) {
  KeyDecoder decoder;
  decoder.Feed("\x1b[1", kStart);
  decoder.Feed(";5", kStart + 20);
  EXPECT_EQ(decoder.Deadline(), kStart + 20 + KeyDecoder::kEscTimeoutMilliseconds);
  decoder.Expire(kStart + 30);
  EXPECT_TRUE(TakeEvents(decoder).empty());
  decoder.Feed("D", kStart + 40);
  EXPECT_EQ(TakeEvents(decoder), EventsOf({37, 75, 0, kEnh | kCtrl}));
}

TEST(KeyDecoderTest, UnfinishedSequencesAtTheTimeout) {
  const struct {
    std::string bytes;
    std::vector<KeyEvent> events;
  } cases[] = {
      {"\x1b", EventsOf({27, 1, 27, 0})},
      {"\x1b\x1b", EventsOf({27, 1, 27, kAlt})},
      {"\x1b[", EventsOf({219, 26, '[', kAlt})},
      {"\x1bO", EventsOf({79, 24, 'O', kAlt | kShift})},
      {"\x1b]", EventsOf({221, 27, ']', kAlt})},
      {"\x1bP", EventsOf({80, 25, 'P', kAlt | kShift})},
      {"\x1b]4;8;", {}},
      {"\x1b[1;", {}},
      {"\x1b[[", {}},
      {"\x1bO2", {}},
      {"\xc5", EventsOf({191, 53, '?', kShift})},
      {"\xe2\x82", EventsOf({191, 53, '?', kShift})},
      {"x\x1b", {EventOf({88, 45, 'x', 0}), EventOf({27, 1, 27, 0})}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Printable(c.bytes));
    KeyDecoder decoder;
    decoder.Feed(c.bytes, kStart);
    decoder.Expire(kStart + KeyDecoder::kEscTimeoutMilliseconds);
    EXPECT_EQ(TakeEvents(decoder), c.events);
    EXPECT_TRUE(decoder.Empty());
  }
}

TEST(KeyDecoderTest, CtrlCReportedAsAKeyIsTheInterrupt) {
  const struct {
    KeyProtocol protocol;
    std::string bytes;
    ExpectedKey key;
    bool interrupt;
  } cases[] = {
      // The terminal's own Ctrl+C is a signal: a byte 3 is only a byte.
      {KeyProtocol::kLegacy, "\x03", {67, 46, 3, kCtrl}, false},
      {KeyProtocol::kKitty, "\x1b[99;5u", {67, 46, 3, kCtrl}, true},
      {KeyProtocol::kKitty, "\x1b[99;5;99u", {67, 46, 3, kCtrl}, true},  // with its text
      {KeyProtocol::kKitty, "\x1b[97;5u", {65, 30, 1, kCtrl}, false},
      {KeyProtocol::kWin32Input, "\x1b[67;46;3;1;8;1_", {67, 46, 3, kCtrl}, true},
      {KeyProtocol::kWin32Input, "\x1b[67;46;3;0;8;1_", {67, 46, 3, kCtrl, false}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Printable(c.bytes));
    KeyEvent expected = EventOf(c.key);
    expected.interrupt = c.interrupt;
    EXPECT_EQ(Decode(c.bytes, c.protocol), std::vector<KeyEvent>{expected});
  }
}

TEST(KeyDecoderTest, Utf8SplitAcrossFeeds) {
  KeyDecoder decoder;
  decoder.Feed("\xe2", kStart);
  decoder.Feed("\x82", kStart + 1);
  EXPECT_TRUE(TakeEvents(decoder).empty());
  EXPECT_TRUE(decoder.Holding());
  decoder.Feed(
      "\xac"
      "\xc5",
      kStart + 2);
  decoder.Feed("\xb1", kStart + 3);
  EXPECT_EQ(TakeEvents(decoder),
            (std::vector<KeyEvent>{EventOf({0, 0, 0x80, 0}), EventOf({0, 0, 0xFB, 0})}));
}

TEST(KeyDecoderTest, FlushTakesTheHeldBytesAtOnce) {
  KeyDecoder decoder;
  decoder.Feed("\x1b", kStart);
  decoder.Flush();
  EXPECT_EQ(TakeEvents(decoder), EventsOf({27, 1, 27, 0}));
  decoder.Flush();
  EXPECT_TRUE(decoder.Empty());
}

// The decoded events read through the keyboard give the codes a PC keyboard's keys give.
class DecodedKeysTest : public testing_support::ConsoleTest {
 protected:
  std::vector<int> CodesOf(const std::string& bytes) {
    KeyDecoder decoder;
    decoder.Feed(bytes, kStart);
    decoder.Flush();
    for (const KeyEvent& event : TakeEvents(decoder)) Queue(event);
    std::vector<int> codes;
    while (KeyPressed()) codes.push_back(ReadKey());
    return codes;
  }
};

TEST_F(DecodedKeysTest, KeyCodes) {
  const struct {
    std::string bytes;
    std::vector<int> codes;
  } cases[] = {
      {"\x1b[A", {0, 72}},
      {"\x1b[B", {0, 80}},
      {"\x1bOC", {0, 77}},
      {"\x1bOD", {0, 75}},
      {"\x1b[1~", {0, 71}},
      {"\x1b[4~", {0, 79}},
      {"\x1b[3~", {0, 83}},
      {"\x1b[2~", {0, 82}},
      {"\x1b[6~", {0, 81}},
      {"\x1b[1;5D", {0, 115}},
      {"\x1b[1;5C", {0, 116}},
      {"\x1b[1;5H", {0, 119}},
      {"\x1b[1;3P", {0, 104}},
      {"\x1b[1;2P", {0, 84}},
      {"\x1b[1;5P", {0, 94}},
      {"\x1bOP", {0, 59}},
      {"\x1b[21~", {0, 68}},
      {"\x1b[23~", {0, 133}},
      {"\x1b[24;2~", {0, 136}},
      {"\x1b[1;2R", {0, 86}},
      {"\x1bx", {0, 45}},
      {"\x1b\r", {0, 166}},
      {"\x1bOo", {0, 53}},
      {"\x1bOM", {13}},
      {"\x1bOq", {'1'}},
      {"\x1bOj", {'*'}},
      {"\x1b[Z", {0, 15}},
      {"\r", {13}},
      {"\n", {10}},
      {"\x7f", {8}},
      {"\x08", {8}},
      {"\t", {9}},
      {"\x1b", {27}},
      {"\x01", {1}},
      {"\x13", {19}},
      {"\x19", {25}},
      {"\x1a", {26}},
      {std::string(1, '\0'), {0, 3}},
      {"A", {'A'}},
      {"\xc3\xa1", {0xE1}},
      {"\xc5\xb1", {0xFB}},
      {"\xe4\xb8\xad", {'?'}},
      // Alt with a keypad digit composes a character code, ended by the Alt release.
      {"\x1bO3w", {7}},
      {"\x1b\x1bOu", {5}},
      {"\x1b[1;3D", {4}},
      {"ab\x1b[Dc", {'a', 'b', 0, 75, 'c'}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Printable(c.bytes));
    EXPECT_EQ(CodesOf(c.bytes), c.codes);
  }
}

}  // namespace
