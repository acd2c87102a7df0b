#include "Keyboard.h"

#include "CrtState.h"
#include "KeyCodes.h"
#include "runtime/FatalError.h"

namespace {

constexpr uint8_t kTab = 9;
constexpr uint8_t kShiftTabCode = 15;
constexpr uint16_t kControlCExit = 217;

bool IsLoneModifier(uint16_t virtualKey) {
  switch (virtualKey) {
    case VirtualKey::kShift:
    case VirtualKey::kControl:
    case VirtualKey::kAlt:
    case VirtualKey::kCapsLock:
    case VirtualKey::kNumLock:
    case VirtualKey::kScrollLock:
      return true;
    default:
      return false;
  }
}

// The digit of a keypad digit key's scan code, or -1. The scan code alone
// decides, so the cursor-block keys that share these codes count too.
int KeypadDigit(uint16_t scanCode) {
  switch (scanCode) {
    case 82:
      return 0;
    case 79:
      return 1;
    case 80:
      return 2;
    case 81:
      return 3;
    case 75:
      return 4;
    case 76:
      return 5;
    case 77:
      return 6;
    case 71:
      return 7;
    case 72:
      return 8;
    case 73:
      return 9;
    default:
      return -1;
  }
}

uint8_t Code(int code) {
  return static_cast<uint8_t>(code);
}

uint8_t RemapWithAlt(uint16_t scan) {
  if (scan >= 2 && scan <= 13) return Code(scan + 118);  // digit row: 120..131
  if (scan >= 59 && scan <= 68) return Code(scan + 45);  // F1..F10: 104..113
  if (scan >= 71 && scan <= 73) return Code(scan + 80);  // Home, Up, PgUp: 151..153
  if (scan >= 79 && scan <= 83) return Code(scan + 80);  // End..Del: 159..163
  if (scan == 87 || scan == 88) return Code(scan + 52);  // F11, F12: 139, 140
  switch (scan) {
    case 28:
      return 166;  // Enter
    case 53:
      return 164;  // '/'
    case 75:
      return 155;  // Left
    case 77:
      return 157;  // Right
    default:
      return Code(scan);
  }
}

uint8_t RemapWithCtrl(uint16_t scan, bool& ordinary) {
  // Home, Up, PgUp, keypad '-', Left, keypad 5, Right, keypad '+', End, Down, PgDn, Ins, Del.
  static constexpr uint8_t kCursorBlock[] = {119, 141, 132, 142, 115, 143, 116,
                                             78,  117, 145, 118, 146, 147};
  if (scan >= 59 && scan <= 68) return Code(scan + 35);  // F1..F10: 94..103
  if (scan >= 71 && scan <= 83) return kCursorBlock[scan - 71];
  switch (scan) {
    case 15:
      return 148;  // Tab
    case 28:
      ordinary = true;
      return 10;  // Enter gives a line feed
    case 53:
      return 149;  // '/'
    case 55:
      return 150;  // keypad '*'
    case 87:
      return 137;  // F11
    case 88:
      return 138;  // F12
    default:
      return Code(scan);
  }
}

uint8_t RemapWithShift(uint16_t scan, bool& ordinary) {
  if (scan >= 59 && scan <= 68) return Code(scan + 25);  // F1..F10: 84..93
  switch (scan) {
    case 28:
      ordinary = true;
      return 13;
    case 87:
      return 135;
    case 88:
      return 136;
    default:
      return Code(scan);
  }
}

uint8_t RemapPlain(uint16_t scan, bool& ordinary) {
  switch (scan) {
    case 28:
      ordinary = true;
      return 13;
    case 87:
      return 133;
    case 88:
      return 134;
    default:
      return Code(scan);
  }
}

// Takes one key press into PendingKey; false when it went into an Alt-number instead.
bool TakePress(const KeyEvent& event) {
  const uint32_t state = event.controlState;
  if (event.character == 0 || (state & KeyState::kLeftAlt) || (state & KeyState::kEnhanced)) {
    bool ordinary = false;
    PendingKey = RemapScanCode(event.scanCode, state, ordinary);
    ExtendedPending = !ordinary;
  } else if (event.character == kTab && (state & KeyState::kShift)) {
    ExtendedPending = true;
    PendingKey = kShiftTabCode;
  } else {
    ExtendedPending = false;
    PendingKey = event.character;
  }
  const int digit = KeypadDigit(event.scanCode);
  if ((state & KeyState::kAlt) && digit >= 0) {
    AltNumberStarted = true;
    AltNumber = static_cast<uint8_t>(AltNumber * 10 + digit);
    PendingKey = 0;
    ExtendedPending = false;
    return false;
  }
  return true;
}

}  // namespace

uint8_t RemapScanCode(uint16_t scanCode, uint32_t controlState, bool& ordinary) {
  ordinary = false;
  if (controlState & KeyState::kAlt) return RemapWithAlt(scanCode);
  if (controlState & KeyState::kCtrl) return RemapWithCtrl(scanCode, ordinary);
  if (controlState & KeyState::kShift) return RemapWithShift(scanCode, ordinary);
  return RemapPlain(scanCode, ordinary);
}

bool KeyPressed() {
  if (PendingKey != 0) return true;
  ConsoleDevice& device = CrtDevice();
  KeyEvent event;
  while (device.PollEvent(event)) {
    if (!event.isKey) continue;
    if (!event.keyDown) {
      if (event.virtualKey == VirtualKey::kAlt && AltNumberStarted && AltNumber > 0) {
        PendingKey = AltNumber;
        ExtendedPending = false;
        AltNumberStarted = false;
        AltNumber = 0;
        return true;
      }
      continue;
    }
    if (IsLoneModifier(event.virtualKey)) continue;
    if (TakePress(event)) return true;
  }
  return false;
}

uint8_t ReadKey() {
  ConsoleDevice& device = CrtDevice();
  // Sleeps in the device until input arrives; input that has ended for good
  // ends the run as an interrupted one would.
  while (!KeyPressed()) {
    if (device.InputEnded()) RunError(kControlCExit);
    device.WaitForEvent();
  }
  if (ExtendedPending) {
    ExtendedPending = false;
    return 0;
  }
  const uint8_t key = PendingKey;
  PendingKey = 0;
  return key;
}
