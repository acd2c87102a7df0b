#include "NumberParse.h"

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

}  // namespace

std::optional<int32_t> ParseNumber(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  uint32_t base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  } else if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
    base = 16;
    text.remove_prefix(1);
  } else if (!text.empty() && text[0] == '%') {
    base = 2;
    text.remove_prefix(1);
  } else if (!text.empty() && text[0] == '&') {
    base = 8;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;

  // Decimal allows 2147483648 only as the magnitude of a negative number.
  const uint64_t limit = base != 10 ? UINT32_MAX : negative ? 2147483648u : INT32_MAX;
  uint64_t magnitude = 0;
  for (char c : text) {
    const int digit = DigitValue(c);
    if (static_cast<uint32_t>(digit) >= base) return std::nullopt;
    magnitude = magnitude * base + static_cast<uint32_t>(digit);
    if (magnitude > limit) return std::nullopt;
  }
  // The 32-bit pattern is a signed value; the sign then negates it (wrapping
  // for the one pattern that has no positive counterpart).
  const uint32_t pattern = static_cast<uint32_t>(magnitude);
  return static_cast<int32_t>(negative ? 0u - pattern : pattern);
}
