// The names of a PC keyboard's keys as key events carry them: virtual-key
// codes and set-1 scan codes.
#pragma once

#include <cstdint>

#include "ConsoleDevice.h"

/// Virtual-key codes of the keys that give no ASCII byte of their own, modifiers included.
namespace VirtualKey {
inline constexpr uint16_t kBackspace = 8;
inline constexpr uint16_t kTab = 9;
inline constexpr uint16_t kClear = 12;  // keypad 5 with Num Lock off
inline constexpr uint16_t kEnter = 13;
inline constexpr uint16_t kShift = 16;
inline constexpr uint16_t kControl = 17;
inline constexpr uint16_t kAlt = 18;
inline constexpr uint16_t kCapsLock = 20;
inline constexpr uint16_t kEscape = 27;
inline constexpr uint16_t kSpace = 32;
inline constexpr uint16_t kPageUp = 33;
inline constexpr uint16_t kPageDown = 34;
inline constexpr uint16_t kEnd = 35;
inline constexpr uint16_t kHome = 36;
inline constexpr uint16_t kLeft = 37;
inline constexpr uint16_t kUp = 38;
inline constexpr uint16_t kRight = 39;
inline constexpr uint16_t kDown = 40;
inline constexpr uint16_t kInsert = 45;
inline constexpr uint16_t kDelete = 46;
inline constexpr uint16_t kNumpad0 = 96;  // keypad digits 0..9 are 96..105
inline constexpr uint16_t kMultiply = 106;
inline constexpr uint16_t kAdd = 107;
inline constexpr uint16_t kSubtract = 109;
inline constexpr uint16_t kDecimal = 110;
inline constexpr uint16_t kDivide = 111;
inline constexpr uint16_t kF1 = 112;  // F1..F12 are 112..123
inline constexpr uint16_t kNumLock = 144;
inline constexpr uint16_t kScrollLock = 145;
}  // namespace VirtualKey

/// Set-1 scan codes of the same keys.
namespace ScanCode {
inline constexpr uint16_t kEscape = 1;
inline constexpr uint16_t kBackspace = 14;
inline constexpr uint16_t kTab = 15;
inline constexpr uint16_t kEnter = 28;
inline constexpr uint16_t kSlash = 53;  // also keypad '/'
inline constexpr uint16_t kMultiply = 55;
inline constexpr uint16_t kLeftAlt = 56;
inline constexpr uint16_t kSpace = 57;
inline constexpr uint16_t kHome = 71;
inline constexpr uint16_t kUp = 72;
inline constexpr uint16_t kPageUp = 73;
inline constexpr uint16_t kSubtract = 74;
inline constexpr uint16_t kLeft = 75;
inline constexpr uint16_t kCenter = 76;  // keypad 5
inline constexpr uint16_t kRight = 77;
inline constexpr uint16_t kAdd = 78;
inline constexpr uint16_t kEnd = 79;
inline constexpr uint16_t kDown = 80;
inline constexpr uint16_t kPageDown = 81;
inline constexpr uint16_t kInsert = 82;
inline constexpr uint16_t kDelete = 83;
}  // namespace ScanCode

/// The scan codes of the keypad digit keys, indexed by digit.
inline constexpr uint16_t kKeypadDigitScanCodes[10] = {82, 79, 80, 81, 75, 76, 77, 71, 72, 73};

/// The scan code of function key F`number` (1..12).
constexpr uint16_t FunctionKeyScanCode(int number) {
  return number <= 10 ? 58 + number : 76 + number;
}

/// A key press with the given fields.
constexpr KeyEvent KeyPress(uint16_t virtualKey, uint16_t scanCode, uint8_t character = 0,
                            uint32_t controlState = 0) {
  KeyEvent event;
  event.virtualKey = virtualKey;
  event.scanCode = scanCode;
  event.character = character;
  event.controlState = controlState;
  return event;
}
