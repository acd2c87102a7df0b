// The names of a PC keyboard's keys as key events carry them: virtual-key
// codes and set-1 scan codes.
#pragma once

#include <cstdint>

#include "ConsoleDevice.h"

/// Virtual-key codes of the keys other than letters and digits, whose codes
/// are their capital letter and digit.
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
// The symbol keys of the US layout.
inline constexpr uint16_t kOemSemicolon = 186;
inline constexpr uint16_t kOemPlus = 187;  // the '=' key
inline constexpr uint16_t kOemComma = 188;
inline constexpr uint16_t kOemMinus = 189;
inline constexpr uint16_t kOemPeriod = 190;
inline constexpr uint16_t kOemSlash = 191;
inline constexpr uint16_t kOemGrave = 192;
inline constexpr uint16_t kOemLeftBracket = 219;
inline constexpr uint16_t kOemBackslash = 220;
inline constexpr uint16_t kOemRightBracket = 221;
inline constexpr uint16_t kOemApostrophe = 222;
}  // namespace VirtualKey

/// Set-1 scan codes of the keys of a PC keyboard, in the order of their codes.
namespace ScanCode {
inline constexpr uint16_t kEscape = 1;
inline constexpr uint16_t k1 = 2;
inline constexpr uint16_t k2 = 3;
inline constexpr uint16_t k3 = 4;
inline constexpr uint16_t k4 = 5;
inline constexpr uint16_t k5 = 6;
inline constexpr uint16_t k6 = 7;
inline constexpr uint16_t k7 = 8;
inline constexpr uint16_t k8 = 9;
inline constexpr uint16_t k9 = 10;
inline constexpr uint16_t k0 = 11;
inline constexpr uint16_t kMinus = 12;
inline constexpr uint16_t kEquals = 13;
inline constexpr uint16_t kBackspace = 14;
inline constexpr uint16_t kTab = 15;
inline constexpr uint16_t kQ = 16;
inline constexpr uint16_t kW = 17;
inline constexpr uint16_t kE = 18;
inline constexpr uint16_t kR = 19;
inline constexpr uint16_t kT = 20;
inline constexpr uint16_t kY = 21;
inline constexpr uint16_t kU = 22;
inline constexpr uint16_t kI = 23;
inline constexpr uint16_t kO = 24;
inline constexpr uint16_t kP = 25;
inline constexpr uint16_t kLeftBracket = 26;
inline constexpr uint16_t kRightBracket = 27;
inline constexpr uint16_t kEnter = 28;  // also keypad Enter
inline constexpr uint16_t kCtrl = 29;   // either Ctrl; the right one is enhanced
inline constexpr uint16_t kA = 30;
inline constexpr uint16_t kS = 31;
inline constexpr uint16_t kD = 32;
inline constexpr uint16_t kF = 33;
inline constexpr uint16_t kG = 34;
inline constexpr uint16_t kH = 35;
inline constexpr uint16_t kJ = 36;
inline constexpr uint16_t kK = 37;
inline constexpr uint16_t kL = 38;
inline constexpr uint16_t kSemicolon = 39;
inline constexpr uint16_t kApostrophe = 40;
inline constexpr uint16_t kGrave = 41;
inline constexpr uint16_t kLeftShift = 42;
inline constexpr uint16_t kBackslash = 43;
inline constexpr uint16_t kZ = 44;
inline constexpr uint16_t kX = 45;
inline constexpr uint16_t kC = 46;
inline constexpr uint16_t kV = 47;
inline constexpr uint16_t kB = 48;
inline constexpr uint16_t kN = 49;
inline constexpr uint16_t kM = 50;
inline constexpr uint16_t kComma = 51;
inline constexpr uint16_t kPeriod = 52;
inline constexpr uint16_t kSlash = 53;  // also keypad '/'
inline constexpr uint16_t kRightShift = 54;
inline constexpr uint16_t kMultiply = 55;  // keypad '*'
inline constexpr uint16_t kAlt = 56;       // either Alt; the right one is enhanced
inline constexpr uint16_t kSpace = 57;
inline constexpr uint16_t kCapsLock = 58;
inline constexpr uint16_t kF1 = 59;
inline constexpr uint16_t kF2 = 60;
inline constexpr uint16_t kF3 = 61;
inline constexpr uint16_t kF4 = 62;
inline constexpr uint16_t kF5 = 63;
inline constexpr uint16_t kF6 = 64;
inline constexpr uint16_t kF7 = 65;
inline constexpr uint16_t kF8 = 66;
inline constexpr uint16_t kF9 = 67;
inline constexpr uint16_t kF10 = 68;
inline constexpr uint16_t kNumLock = 69;
inline constexpr uint16_t kScrollLock = 70;
// The keypad's 7 to '.' share their codes with the cursor block's keys.
inline constexpr uint16_t kHome = 71;
inline constexpr uint16_t kUp = 72;
inline constexpr uint16_t kPageUp = 73;
inline constexpr uint16_t kSubtract = 74;  // keypad '-'
inline constexpr uint16_t kLeft = 75;
inline constexpr uint16_t kCenter = 76;  // keypad 5
inline constexpr uint16_t kRight = 77;
inline constexpr uint16_t kAdd = 78;  // keypad '+'
inline constexpr uint16_t kEnd = 79;
inline constexpr uint16_t kDown = 80;
inline constexpr uint16_t kPageDown = 81;
inline constexpr uint16_t kInsert = 82;
inline constexpr uint16_t kDelete = 83;
inline constexpr uint16_t kF11 = 87;
inline constexpr uint16_t kF12 = 88;
}  // namespace ScanCode

/// The scan codes of the keypad digit keys, indexed by digit.
inline constexpr uint16_t kKeypadDigitScanCodes[10] = {
    ScanCode::kInsert, ScanCode::kEnd,   ScanCode::kDown, ScanCode::kPageDown, ScanCode::kLeft,
    ScanCode::kCenter, ScanCode::kRight, ScanCode::kHome, ScanCode::kUp,       ScanCode::kPageUp};

/// The scan code of function key F`number` (1..12).
constexpr uint16_t FunctionKeyScanCode(int number) {
  return static_cast<uint16_t>(number <= 10 ? ScanCode::kF1 + number - 1
                                            : ScanCode::kF11 + number - 11);
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
