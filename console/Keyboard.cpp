#include "Keyboard.h"

#include "CrtState.h"
#include "KeyCodes.h"
#include "runtime/ErrorCodes.h"
#include "runtime/FatalError.h"

namespace {

constexpr uint8_t kTabCharacter = 9;
constexpr uint8_t kShiftTabCode = ScanCode::kTab;  // extended codes are scan codes by default

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
  for (int digit = 0; digit < 10; ++digit)
    if (kKeypadDigitScanCodes[digit] == scanCode) return digit;
  return -1;
}

uint8_t Code(int code) {
  return static_cast<uint8_t>(code);
}

bool Within(uint16_t scan, uint16_t first, uint16_t last) {
  return scan >= first && scan <= last;
}

// The codes of keys in a run of consecutive scan codes: from `firstCode` on, in the same order.
uint8_t InRun(uint16_t scan, uint16_t first, int firstCode) {
  return Code(firstCode + scan - first);
}

uint8_t RemapWithAlt(uint16_t scan) {
  using namespace ScanCode;
  if (Within(scan, k1, kEquals)) return InRun(scan, k1, 120);        // digit row: 120..131
  if (Within(scan, kF1, kF10)) return InRun(scan, kF1, 104);         // 104..113
  if (Within(scan, kHome, kPageUp)) return InRun(scan, kHome, 151);  // 151..153
  if (Within(scan, kEnd, kDelete)) return InRun(scan, kEnd, 159);    // 159..163
  if (Within(scan, kF11, kF12)) return InRun(scan, kF11, 139);       // 139, 140
  switch (scan) {
    case kEnter:
      return 166;
    case kSlash:
      return 164;
    case kLeft:
      return 155;
    case kRight:
      return 157;
    default:
      return Code(scan);
  }
}

uint8_t RemapWithCtrl(uint16_t scan, bool& ordinary) {
  // Home, Up, PgUp, keypad '-', Left, keypad 5, Right, keypad '+', End, Down, PgDn, Ins, Del.
  static constexpr uint8_t kCursorBlock[] = {119, 141, 132, 142, 115, 143, 116,
                                             78,  117, 145, 118, 146, 147};
  using namespace ScanCode;
  if (Within(scan, kF1, kF10)) return InRun(scan, kF1, 94);  // 94..103
  if (Within(scan, kHome, kDelete)) return kCursorBlock[scan - kHome];
  switch (scan) {
    case kTab:
      return 148;
    case kEnter:
      ordinary = true;
      return 10;  // a line feed
    case kSlash:
      return 149;
    case kMultiply:
      return 150;
    case kF11:
      return 137;
    case kF12:
      return 138;
    default:
      return Code(scan);
  }
}

uint8_t RemapWithShift(uint16_t scan, bool& ordinary) {
  using namespace ScanCode;
  if (Within(scan, kF1, kF10)) return InRun(scan, kF1, 84);  // 84..93
  switch (scan) {
    case kEnter:
      ordinary = true;
      return 13;
    case kF11:
      return 135;
    case kF12:
      return 136;
    default:
      return Code(scan);
  }
}

uint8_t RemapPlain(uint16_t scan, bool& ordinary) {
  switch (scan) {
    case ScanCode::kEnter:
      ordinary = true;
      return 13;
    case ScanCode::kF11:
      return 133;
    case ScanCode::kF12:
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
  } else if (event.character == kTabCharacter && (state & KeyState::kShift)) {
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
    if (device.InputEnded()) RunError(RuntimeError::kControlC);
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
