// Windows-1250, the single-byte code page of every text the program holds.
// Texts stand in the source as UTF-8 and become Windows-1250 bytes at compile
// time through Win1250Text; Utf8 conversion at the edges uses the same table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

/// Unicode code points of the bytes 0x80..0xFF; 0 marks the five undefined bytes.
inline constexpr char32_t kWin1250High[128] = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021,  //
    0,      0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  //
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  //
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  //
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  //
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  //
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  //
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  //
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  //
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  //
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  //
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  //
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  //
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  //
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

/// The code point of a Windows-1250 byte; 0 for an undefined byte.
constexpr char32_t Win1250ToUnicode(uint8_t byte) {
  return byte < 0x80 ? char32_t{byte} : kWin1250High[byte - 0x80];
}

/// The Windows-1250 byte of a code point, or -1 when the code page has none.
constexpr int UnicodeToWin1250(char32_t codePoint) {
  if (codePoint < 0x80) return static_cast<int>(codePoint);
  for (int i = 0; i < 128; ++i)
    if (kWin1250High[i] == codePoint) return 0x80 + i;
  return -1;
}

/// The byte that stands for a character the code page lacks.
inline constexpr uint8_t kWin1250Replacement = '?';

/// The Windows-1250 byte of a code point; the replacement '?' when the code page has none.
constexpr uint8_t Win1250Byte(char32_t codePoint) {
  const int byte = UnicodeToWin1250(codePoint);
  return byte < 0 ? kWin1250Replacement : static_cast<uint8_t>(byte);
}

/// Appends the UTF-8 form of a code point to `out` and returns the byte count (1 to 4).
constexpr int EncodeUtf8(char32_t codePoint, char* out) {
  if (codePoint < 0x80) {
    out[0] = static_cast<char>(codePoint);
    return 1;
  }
  if (codePoint < 0x800) {
    out[0] = static_cast<char>(0xC0 | (codePoint >> 6));
    out[1] = static_cast<char>(0x80 | (codePoint & 0x3F));
    return 2;
  }
  if (codePoint < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (codePoint >> 12));
    out[1] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (codePoint & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (codePoint >> 18));
  out[1] = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (codePoint & 0x3F));
  return 4;
}

/// A text literal written in UTF-8, held as Windows-1250 bytes. Built at compile
/// time; a character the code page lacks, or malformed UTF-8, does not compile.
template <std::size_t N>
class Win1250Text {
 public:
  consteval Win1250Text(const char (&utf8)[N]) {
    std::size_t i = 0;
    while (i + 1 < N) {
      const auto lead = static_cast<uint8_t>(utf8[i]);
      const int extra = lead < 0x80    ? 0
                        : lead >= 0xF0 ? 3
                        : lead >= 0xE0 ? 2
                        : lead >= 0xC0 ? 1
                                       : -1;
      if (extra < 0) throw "malformed UTF-8 in a text literal";
      char32_t codePoint = extra == 0 ? lead : lead & (0x3F >> extra);
      for (int k = 1; k <= extra; ++k) {
        const auto next = static_cast<uint8_t>(utf8[i + k]);
        if ((next & 0xC0) != 0x80) throw "malformed UTF-8 in a text literal";
        codePoint = (codePoint << 6) | (next & 0x3F);
      }
      const int byte = UnicodeToWin1250(codePoint);
      if (byte < 0) throw "character without a Windows-1250 byte in a text literal";
      bytes_[length_++] = static_cast<char>(byte);
      i += extra + 1;
    }
  }
  constexpr std::string_view View() const { return std::string_view(bytes_, length_); }
  constexpr operator std::string_view() const { return View(); }

 private:
  char bytes_[N] = {};
  std::size_t length_ = 0;
};
