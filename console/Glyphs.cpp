#include "Glyphs.h"

#include <array>

#include "runtime/Win1250.h"

namespace {

// The symbols a PC text console shows for the bytes 0-31; 0 shows as a blank.
constexpr char32_t kControlGlyphs[32] = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,  //
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,  //
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,  //
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
};
constexpr char32_t kDeleteGlyph = 0x2302;     // house, for byte 127
constexpr char32_t kUndefinedGlyph = 0xFFFD;  // replacement character
constexpr uint8_t kSoftHyphen = 0xAD;
constexpr char32_t kSoftHyphenGlyph = U'-';

constexpr char32_t ComputeCodePoint(uint8_t byte) {
  if (byte < 0x20) return kControlGlyphs[byte];
  if (byte == 0x7F) return kDeleteGlyph;
  // Terminals disagree on whether a soft hyphen takes a cell; a plain hyphen
  // keeps every later cell of the row in its column.
  if (byte == kSoftHyphen) return kSoftHyphenGlyph;
  const char32_t codePoint = Win1250ToUnicode(byte);
  return codePoint == 0 ? kUndefinedGlyph : codePoint;
}

struct EncodedGlyph {
  char bytes[4] = {};
  uint8_t length = 0;
};

constexpr std::array<EncodedGlyph, 256> BuildGlyphTable() {
  std::array<EncodedGlyph, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    EncodedGlyph& glyph = table[static_cast<size_t>(byte)];
    glyph.length =
        static_cast<uint8_t>(EncodeUtf8(ComputeCodePoint(static_cast<uint8_t>(byte)), glyph.bytes));
  }
  return table;
}

constexpr std::array<EncodedGlyph, 256> kGlyphTable = BuildGlyphTable();

}  // namespace

char32_t GlyphCodePoint(uint8_t byte) {
  return ComputeCodePoint(byte);
}

std::string_view CellGlyph(uint8_t byte) {
  const EncodedGlyph& glyph = kGlyphTable[byte];
  return std::string_view(glyph.bytes, glyph.length);
}
