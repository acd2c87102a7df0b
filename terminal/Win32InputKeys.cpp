#include "Win32InputKeys.h"

#include <cstdint>

#include "runtime/Win1250.h"

namespace {

enum Field { kVirtualKey, kScanCode, kCharacter, kKeyDown, kControlState, kRepeatCount, kFields };

// Every field of a console's key event is at most 16 bits wide.
constexpr uint32_t kMaxField = 0xFFFF;

uint8_t CharacterOf(uint32_t unit) {
  if (unit == 0) return 0;
  const bool surrogate = unit >= 0xD800 && unit <= 0xDFFF;  // half of a character beyond U+FFFF
  const int byte = surrogate ? -1 : UnicodeToWin1250(static_cast<char32_t>(unit));
  return byte < 0 ? '?' : static_cast<uint8_t>(byte);
}

}  // namespace

bool DecodeWin32InputRecord(std::string_view parameters, KeyEvent& event) {
  // Fields left out or empty take their defaults: 0, and a repeat count of 1.
  uint32_t fields[kFields] = {0, 0, 0, 0, 0, 1};
  bool given = false;
  int field = 0;
  for (const char c : parameters) {
    if (c == ';') {
      given = false;
      if (++field == kFields) return false;
      continue;
    }
    if (c < '0' || c > '9') return false;
    uint32_t& value = fields[field];
    if (!given) value = 0;
    given = true;
    value = value * 10 + static_cast<uint32_t>(c - '0');
    if (value > kMaxField) return false;
  }
  event = KeyEvent{};
  event.keyDown = fields[kKeyDown] != 0;
  event.virtualKey = static_cast<uint16_t>(fields[kVirtualKey]);
  event.scanCode = static_cast<uint16_t>(fields[kScanCode]);
  event.character = CharacterOf(fields[kCharacter]);
  event.controlState = fields[kControlState];
  event.repeatCount = static_cast<uint16_t>(fields[kRepeatCount]);
  return true;
}
