#include "LocationLine.h"

void AppendHex8(ShortString& text, uint32_t value) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  for (int shift = 28; shift >= 0; shift -= 4) text.Append(kDigits[(value >> shift) & 0xF]);
}

namespace {

void AppendDecimal(ShortString& text, uint32_t value) {
  char digits[10];
  int start = sizeof digits;
  do {
    digits[--start] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  text.Append(std::string_view(digits + start, sizeof digits - start));
}

}  // namespace

ShortString LocationLine(const CodeLocation& location) {
  ShortString text("  $");
  AppendHex8(text, location.address);
  if (!location.routine.empty()) text.Append("  ").Append(location.routine);
  if (!location.file.empty()) {
    if (!location.routine.empty()) text.Append(", ");
    if (location.line != 0) {
      text.Append(" line ");
      AppendDecimal(text, location.line);
    }
    text.Append(" of ").Append(location.file);
  }
  return text;
}

ShortString ErrorLine(uint16_t code, uint32_t address) {
  ShortString text("Runtime error ");
  AppendDecimal(text, code);
  text.Append(" at $");
  AppendHex8(text, address);
  return text;
}
