#include <gtest/gtest.h>

#include <string>

#include "runtime/Win1250.h"
#include "src/Matrix.h"

namespace {

TEST(Win1250Test, TheTitleIsHeldAsWindows1250Bytes) {
  // "Legnagyobb összegű részmátrix keresése": ö F6, ű FB, é E9, á E1.
  EXPECT_EQ(std::string(CIM.View()), "Legnagyobb \xf6sszeg\xfb r\xe9szm\xe1trix keres\xe9se");
  EXPECT_EQ(CIM.View().size(), 38u);
}

TEST(Win1250Test, EveryDefinedByteRoundTripsThroughItsCodePoint) {
  int undefined = 0;
  for (int byte = 0; byte < 256; ++byte) {
    const char32_t codePoint = Win1250ToUnicode(static_cast<uint8_t>(byte));
    if (codePoint == 0 && byte != 0) {
      ++undefined;
      continue;
    }
    EXPECT_EQ(UnicodeToWin1250(codePoint), byte) << byte;
  }
  EXPECT_EQ(undefined, 5);                       // 81, 83, 88, 90, 98
  EXPECT_EQ(UnicodeToWin1250(U'\u0151'), 0xF5);  // ő
  EXPECT_EQ(UnicodeToWin1250(U'\u20AC'), 0x80);  // €
  EXPECT_EQ(UnicodeToWin1250(U'\u4E2D'), -1);
}

TEST(Win1250Test, Utf8EncodingOfOneToFourBytes) {
  const std::pair<char32_t, std::string> cases[] = {{U'A', "A"},
                                                    {U'\u00E9', "\xc3\xa9"},
                                                    {U'\u20AC', "\xe2\x82\xac"},
                                                    {U'\U0001F600', "\xf0\x9f\x98\x80"}};
  for (const auto& [codePoint, utf8] : cases) {
    char out[4];
    const int length = EncodeUtf8(codePoint, out);
    EXPECT_EQ(std::string(out, static_cast<size_t>(length)), utf8);
  }
}

}  // namespace
