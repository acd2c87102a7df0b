#include "Keyboard.h"

#include <span>

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

// A run of keys with consecutive scan codes, first to last, and the codes they
// give under one set of modifiers: `code` for the first and on in the same order.
// `ordinary` marks codes that count as ordinary characters.
struct Remap {
  uint16_t first;
  uint16_t last;
  uint8_t code;
  bool ordinary = false;
};

// Each row lists the keys whose code is not their scan code.
constexpr Remap kAltRow[] = {
    {ScanCode::k1, ScanCode::kEquals, 120},  // the digit row
    {ScanCode::kF1, ScanCode::kF10, 104},      {ScanCode::kF11, ScanCode::kF12, 139},
    {ScanCode::kHome, ScanCode::kPageUp, 151}, {ScanCode::kLeft, ScanCode::kLeft, 155},
    {ScanCode::kRight, ScanCode::kRight, 157}, {ScanCode::kEnd, ScanCode::kDelete, 159},
    {ScanCode::kSlash, ScanCode::kSlash, 164}, {ScanCode::kEnter, ScanCode::kEnter, 166},
};

constexpr Remap kCtrlRow[] = {
    {ScanCode::kF1, ScanCode::kF10, 94},
    {ScanCode::kF11, ScanCode::kF12, 137},
    {ScanCode::kHome, ScanCode::kHome, 119},
    {ScanCode::kUp, ScanCode::kUp, 141},
    {ScanCode::kPageUp, ScanCode::kPageUp, 132},
    {ScanCode::kSubtract, ScanCode::kSubtract, 142},
    {ScanCode::kLeft, ScanCode::kLeft, 115},
    {ScanCode::kCenter, ScanCode::kCenter, 143},
    {ScanCode::kRight, ScanCode::kRight, 116},
    {ScanCode::kEnd, ScanCode::kEnd, 117},
    {ScanCode::kDown, ScanCode::kDown, 145},
    {ScanCode::kPageDown, ScanCode::kPageDown, 118},
    {ScanCode::kInsert, ScanCode::kInsert, 146},
    {ScanCode::kDelete, ScanCode::kDelete, 147},
    {ScanCode::kTab, ScanCode::kTab, 148},
    {ScanCode::kSlash, ScanCode::kSlash, 149},
    {ScanCode::kMultiply, ScanCode::kMultiply, 150},
    {ScanCode::kEnter, ScanCode::kEnter, 10, true},  // a line feed
};

constexpr Remap kShiftRow[] = {
    {ScanCode::kF1, ScanCode::kF10, 84},
    {ScanCode::kF11, ScanCode::kF12, 135},
    {ScanCode::kEnter, ScanCode::kEnter, 13, true},
};

constexpr Remap kPlainRow[] = {
    {ScanCode::kF11, ScanCode::kF12, 133},
    {ScanCode::kEnter, ScanCode::kEnter, 13, true},
};

uint8_t RemapInRow(std::span<const Remap> row, uint16_t scan, bool& ordinary) {
  for (const Remap& keys : row) {
    if (scan >= keys.first && scan <= keys.last) {
      ordinary = keys.ordinary;
      return static_cast<uint8_t>(keys.code + scan - keys.first);
    }
  }
  ordinary = false;
  return static_cast<uint8_t>(scan);
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
  if (controlState & KeyState::kAlt) return RemapInRow(kAltRow, scanCode, ordinary);
  if (controlState & KeyState::kCtrl) return RemapInRow(kCtrlRow, scanCode, ordinary);
  if (controlState & KeyState::kShift) return RemapInRow(kShiftRow, scanCode, ordinary);
  return RemapInRow(kPlainRow, scanCode, ordinary);
}

bool KeyPressed() {
  if (PendingKey != 0) return true;
  ConsoleDevice& device = CrtDevice();
  KeyEvent event;
  while (device.PollEvent(event)) {
    if (event.interrupt) RunError(RuntimeError::kControlC);
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
