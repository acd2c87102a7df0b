#include <gtest/gtest.h>

#include <string>

#include "console/Glyphs.h"

namespace {

struct GlyphCase {
  uint8_t byte;
  const char* utf8;
};

TEST(Glyphs, ShowsEachByteAsItsCharacterOrASymbol) {
  const GlyphCase cases[] = {
      {0x00, " "},      {0x01, "\u263A"}, {0x07, "\u2022"}, {0x08, "\u25D8"}, {0x09, "\u25CB"},
      {0x0A, "\u25D9"}, {0x0D, "\u266A"}, {0x1B, "\u2190"}, {0x1F, "\u25BC"}, {0x20, " "},
      {'A', "A"},       {'~', "~"},       {0x7F, "\u2302"}, {0x80, "\u20AC"}, {0x8A, "\u0160"},
      {0xA0, "\u00A0"}, {0xAD, "-"},      {0xE1, "\u00E1"}, {0xF5, "\u0151"}, {0xFB, "\u0171"},
      {0xFF, "\u02D9"}, {0x81, "\uFFFD"}, {0x83, "\uFFFD"}, {0x88, "\uFFFD"}, {0x90, "\uFFFD"},
      {0x98, "\uFFFD"},
  };
  for (const GlyphCase& c : cases)
    EXPECT_EQ(std::string(CellGlyph(c.byte)), c.utf8) << "byte " << int{c.byte};
}

TEST(Glyphs, NoByteReachesTheTerminalAsAControlCharacter) {
  for (int byte = 0; byte < 256; ++byte) {
    const char32_t codePoint = GlyphCodePoint(static_cast<uint8_t>(byte));
    EXPECT_FALSE(codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0))
        << "byte " << byte << " shows as control character " << uint32_t{codePoint};
    EXPECT_FALSE(CellGlyph(static_cast<uint8_t>(byte)).empty());
  }
}

TEST(Glyphs, ControlBytesHaveDistinctSymbols) {
  for (int a = 1; a < 32; ++a)
    for (int b = a + 1; b < 32; ++b)
      EXPECT_NE(GlyphCodePoint(static_cast<uint8_t>(a)), GlyphCodePoint(static_cast<uint8_t>(b)))
          << a << " and " << b;
}

}  // namespace
