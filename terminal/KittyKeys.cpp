#include "KittyKeys.h"

#include <cstdint>

#include "CsiParameters.h"
#include "KeyLayout.h"
#include "KeySequences.h"
#include "runtime/Win1250.h"

namespace {

// Key codes of the keys that type no text, in the Unicode private use area.
constexpr char32_t kPrivateUseFirst = 0xE000;
constexpr char32_t kPrivateUseLast = 0xF8FF;
constexpr char32_t kCapsLockCode = 57358;
constexpr char32_t kScrollLockCode = 57359;
constexpr char32_t kNumLockCode = 57360;
constexpr char32_t kKeypadFirstCode = 57399;  // KP_0; the keypad runs to KP_Begin
constexpr char32_t kLeftShiftCode = 57441;
constexpr char32_t kLeftCtrlCode = 57442;
constexpr char32_t kLeftAltCode = 57443;
constexpr char32_t kRightShiftCode = 57447;
constexpr char32_t kRightCtrlCode = 57448;
constexpr char32_t kRightAltCode = 57449;
constexpr char32_t kMaxCodePoint = 0x10FFFF;

constexpr char32_t kBackspaceCode = 127;  // Enter, Tab and Esc are their control bytes

constexpr uint32_t kMaxModifiers = 256;  // 1 + all eight modifier bits

constexpr uint32_t kPress = 1;
constexpr uint32_t kRelease = 3;  // 2, a repeat, counts as a press

constexpr uint32_t kEnhanced = KeyState::kEnhanced;

// A sequence has up to three fields: the key, the modifiers with the event
// type, and the text. The key and modifier fields have up to three sub-fields;
// the text field may list more characters than the first, which counts.
bool ValidShape(const CsiParameters& fields) {
  return fields.count <= 3 && fields.subCount[0] <= CsiParameters::kMaxSubFields &&
         fields.subCount[1] <= CsiParameters::kMaxSubFields;
}

// The keypad from KP_0 to KP_Begin. The digits and '.' are the editing keys
// when Num Lock is off: `editingKey` names that key's virtual key.
struct KeypadKey {
  uint16_t virtualKey;
  uint16_t scanCode;
  uint8_t character;
  uint32_t controlState;
  uint16_t editingKey;
};
constexpr KeypadKey kKeypad[] = {
    {VirtualKey::kNumpad0 + 0, ScanCode::kInsert, '0', 0, VirtualKey::kInsert},
    {VirtualKey::kNumpad0 + 1, ScanCode::kEnd, '1', 0, VirtualKey::kEnd},
    {VirtualKey::kNumpad0 + 2, ScanCode::kDown, '2', 0, VirtualKey::kDown},
    {VirtualKey::kNumpad0 + 3, ScanCode::kPageDown, '3', 0, VirtualKey::kPageDown},
    {VirtualKey::kNumpad0 + 4, ScanCode::kLeft, '4', 0, VirtualKey::kLeft},
    {VirtualKey::kNumpad0 + 5, ScanCode::kCenter, '5', 0, VirtualKey::kClear},
    {VirtualKey::kNumpad0 + 6, ScanCode::kRight, '6', 0, VirtualKey::kRight},
    {VirtualKey::kNumpad0 + 7, ScanCode::kHome, '7', 0, VirtualKey::kHome},
    {VirtualKey::kNumpad0 + 8, ScanCode::kUp, '8', 0, VirtualKey::kUp},
    {VirtualKey::kNumpad0 + 9, ScanCode::kPageUp, '9', 0, VirtualKey::kPageUp},
    {VirtualKey::kDecimal, ScanCode::kDelete, '.', 0, VirtualKey::kDelete},
    {VirtualKey::kDivide, ScanCode::kSlash, '/', kEnhanced, 0},
    {VirtualKey::kMultiply, ScanCode::kMultiply, '*', 0, 0},
    {VirtualKey::kSubtract, ScanCode::kSubtract, '-', 0, 0},
    {VirtualKey::kAdd, ScanCode::kAdd, '+', 0, 0},
    {VirtualKey::kEnter, ScanCode::kEnter, '\r', kEnhanced, 0},
    {0, 0, '=', 0, 0},  // KP_Equal and KP_Separator: no PC keypad has them,
    {0, 0, ',', 0, 0},  // they type their characters
    {VirtualKey::kLeft, ScanCode::kLeft, 0, 0, 0},
    {VirtualKey::kRight, ScanCode::kRight, 0, 0, 0},
    {VirtualKey::kUp, ScanCode::kUp, 0, 0, 0},
    {VirtualKey::kDown, ScanCode::kDown, 0, 0, 0},
    {VirtualKey::kPageUp, ScanCode::kPageUp, 0, 0, 0},
    {VirtualKey::kPageDown, ScanCode::kPageDown, 0, 0, 0},
    {VirtualKey::kHome, ScanCode::kHome, 0, 0, 0},
    {VirtualKey::kEnd, ScanCode::kEnd, 0, 0, 0},
    {VirtualKey::kInsert, ScanCode::kInsert, 0, 0, 0},
    {VirtualKey::kDelete, ScanCode::kDelete, 0, 0, 0},
    {VirtualKey::kClear, ScanCode::kCenter, 0, 0, 0},
};

KeyEvent KeypadPress(const KeypadKey& key, bool numLock) {
  if (key.editingKey != 0 && !numLock) return KeyPress(key.editingKey, key.scanCode);
  if (key.virtualKey == 0) return AsciiKeyPress(key.character);
  return KeyPress(key.virtualKey, key.scanCode, key.character, key.controlState);
}

// The lock and modifier keys by their codes.
struct CodedKey {
  char32_t code;
  KeyEvent event;
};
constexpr CodedKey kLockAndModifierKeys[] = {
    {kCapsLockCode, KeyPress(VirtualKey::kCapsLock, ScanCode::kCapsLock)},
    {kScrollLockCode, KeyPress(VirtualKey::kScrollLock, ScanCode::kScrollLock)},
    {kNumLockCode, KeyPress(VirtualKey::kNumLock, ScanCode::kNumLock)},
    {kLeftShiftCode, KeyPress(VirtualKey::kShift, ScanCode::kLeftShift)},
    {kRightShiftCode, KeyPress(VirtualKey::kShift, ScanCode::kRightShift)},
    {kLeftCtrlCode, KeyPress(VirtualKey::kControl, ScanCode::kCtrl)},
    {kRightCtrlCode, KeyPress(VirtualKey::kControl, ScanCode::kCtrl, 0, kEnhanced)},
    {kLeftAltCode, KeyPress(VirtualKey::kAlt, ScanCode::kAlt)},
    {kRightAltCode, KeyPress(VirtualKey::kAlt, ScanCode::kAlt, 0, kEnhanced)},
};

// The key of a code that types no text; false for keys a PC keyboard lacks.
bool FunctionalKey(char32_t code, bool numLock, KeyEvent& event) {
  for (const CodedKey& key : kLockAndModifierKeys) {
    if (key.code == code) {
      event = key.event;
      return true;
    }
  }
  if (code < kKeypadFirstCode || code >= kKeypadFirstCode + std::size(kKeypad)) return false;
  event = KeypadPress(kKeypad[code - kKeypadFirstCode], numLock);
  return true;
}

// Upper case of the letters Windows-1250 holds: ASCII, Latin-1 and Latin Extended-A.
char32_t UpperCase(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;  // 0xF7 is the division sign
  if (c < 0x100 || c > 0x17E || c == 0x131 || c == 0x138 || c == 0x149) return c;
  // Pairs of capital and small letter; odd capitals from Ĺ to ň and from Ź to ž.
  const bool oddCapitals = (c >= 0x139 && c <= 0x148) || c >= 0x179;
  const bool small = (c % 2 == 1) != oddCapitals;
  return small ? c - 1 : c;
}

bool IsLetter(char32_t c) {
  return UpperCase(c) != c || (c >= 'A' && c <= 'Z');
}

// The character Shift gives on the key that types `c` unshifted on the US layout; 0 for none.
char32_t ShiftedAscii(char32_t c) {
  const uint16_t scanCode = AsciiKeyPress(static_cast<uint8_t>(c)).scanCode;
  for (int byte = ' '; byte < 0x7F; ++byte) {
    const KeyEvent key = AsciiKeyPress(static_cast<uint8_t>(byte));
    if (key.scanCode == scanCode && key.controlState == KeyState::kShift) return byte;
  }
  return 0;
}

// The control byte Ctrl gives with `c`, or with the character shifted on its
// key (Ctrl+6 is Ctrl+^), as a PC console does; 0 for none.
uint8_t ControlByte(char32_t c) {
  for (const char32_t candidate : {c, ShiftedAscii(c)}) {
    const char32_t upper = UpperCase(candidate);
    if (upper >= '@' && upper <= '_') return static_cast<uint8_t>(upper - '@');
  }
  return 0;
}

// The key event of a text key: its unshifted code, the key's shifted character
// when the terminal names it, and the text the key types when it sends that.
// The text is what the terminal's keyboard layout gives; the character is
// derived from the US layout only when no text comes.
KeyEvent TextKey(char32_t code, char32_t shifted, char32_t text, uint32_t modifiers) {
  KeyEvent event;
  if (code < 0x80) {
    event = AsciiKeyPress(static_cast<uint8_t>(code));
    event.controlState = 0;
  }
  const bool shift = modifiers & ModifierBit::kShift;
  char32_t character = code;
  if (text != 0) {
    character = text;
  } else if (IsLetter(code)) {
    if (shift != ((modifiers & ModifierBit::kCapsLock) != 0)) character = UpperCase(code);
  } else if (shift) {
    character = shifted != 0 ? shifted : code < 0x80 ? ShiftedAscii(code) : code;
  }
  if ((modifiers & ModifierBit::kCtrl) && character < 0x80) {
    event.character = ControlByte(character);
    return event;
  }
  event.character = Win1250Byte(character);
  return event;
}

// The byte a key that is no text key gives with Ctrl, as on a PC console:
// a line feed for either Enter, DEL for Backspace, Esc its own, none for the
// rest (Tab, the keypad).
void ApplyCtrlToEditingKey(KeyEvent& event) {
  constexpr uint8_t kLineFeed = 10;
  constexpr uint8_t kDelete = 0x7F;
  switch (event.virtualKey) {
    case VirtualKey::kEnter:
      event.character = kLineFeed;
      break;
    case VirtualKey::kBackspace:
      event.character = kDelete;
      break;
    case VirtualKey::kEscape:
      break;
    default:
      event.character = 0;
  }
}

}  // namespace

bool KittyKeys::Decode(std::string_view parameters, char final, KeyEvent& event) {
  CsiParameters fields;
  if (!ParseCsiParameters(parameters, kMaxCodePoint, fields) || !ValidShape(fields)) return false;
  const char32_t number = fields.at[0][0];
  const uint32_t eventType = fields.at[1][1] == 0 ? kPress : fields.at[1][1];
  uint32_t modifiers = 0;
  if (!ModifierBits(fields.at[1][0] == 0 ? 1 : fields.at[1][0], kMaxModifiers, modifiers) ||
      eventType > kRelease)
    return false;
  const bool numLock = modifiers & ModifierBit::kNumLock;

  KeyEvent key;
  bool textKey = false;
  if (final == 'u') {
    if (number == 0) return false;
    textKey = number >= ' ' && number != kBackspaceCode &&
              (number < kPrivateUseFirst || number > kPrivateUseLast);
    if (textKey) {
      key = TextKey(number, fields.at[0][1], fields.at[2][0], modifiers);
    } else if (number < ' ' || number == kBackspaceCode) {
      key = AsciiKeyPress(static_cast<uint8_t>(number));
      key.controlState = 0;
    } else if (!FunctionalKey(number, numLock, key)) {
      return false;
    }
  } else if (final == '~') {
    if (number >= kPrivateUseFirst ? !FunctionalKey(number, numLock, key)
                                   : !CsiNumberKey(static_cast<int>(number), key))
      return false;
  } else if (number > 1 || !CsiFinalKey(final, key)) {
    return false;
  }

  const bool down = eventType != kRelease;
  switch (number) {
    case kLeftAltCode:
      leftAlt_ = down;
      break;
    case kRightAltCode:
      rightAlt_ = down;
      break;
    case kLeftCtrlCode:
      leftCtrl_ = down;
      break;
    case kRightCtrlCode:
      rightCtrl_ = down;
      break;
  }
  if (!(modifiers & ModifierBit::kAlt)) leftAlt_ = rightAlt_ = false;
  if (!(modifiers & ModifierBit::kCtrl)) leftCtrl_ = rightCtrl_ = false;

  // The modifier bits do not tell left from right: the key held says which.
  uint32_t state = ModifierKeyState(modifiers);
  if ((state & KeyState::kLeftAlt) && rightAlt_ && !leftAlt_)
    state ^= KeyState::kLeftAlt | KeyState::kRightAlt;
  if ((state & KeyState::kLeftCtrl) && rightCtrl_ && !leftCtrl_)
    state ^= KeyState::kLeftCtrl | KeyState::kRightCtrl;
  if ((modifiers & ModifierBit::kCtrl) && !textKey) ApplyCtrlToEditingKey(key);

  event = key;
  event.keyDown = down;
  event.controlState |= state;
  return true;
}
