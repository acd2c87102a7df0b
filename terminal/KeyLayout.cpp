#include "KeyLayout.h"

#include <string_view>

namespace {

struct KeyCap {
  uint16_t virtualKey;
  uint16_t scanCode;
};

// The symbol keys: each position is one key, typing the first text's byte
// alone and the second's with Shift. A digit key's virtual key is its digit,
// a letter key's its capital letter.
constexpr std::string_view kSymbols = "1234567890-=[];'`\\,./";
constexpr std::string_view kShiftedSymbols = "!@#$%^&*()_+{}:\"~|<>?";
constexpr KeyCap kSymbolKeys[] = {
    {'1', ScanCode::k1},
    {'2', ScanCode::k2},
    {'3', ScanCode::k3},
    {'4', ScanCode::k4},
    {'5', ScanCode::k5},
    {'6', ScanCode::k6},
    {'7', ScanCode::k7},
    {'8', ScanCode::k8},
    {'9', ScanCode::k9},
    {'0', ScanCode::k0},
    {VirtualKey::kOemMinus, ScanCode::kMinus},
    {VirtualKey::kOemPlus, ScanCode::kEquals},
    {VirtualKey::kOemLeftBracket, ScanCode::kLeftBracket},
    {VirtualKey::kOemRightBracket, ScanCode::kRightBracket},
    {VirtualKey::kOemSemicolon, ScanCode::kSemicolon},
    {VirtualKey::kOemApostrophe, ScanCode::kApostrophe},
    {VirtualKey::kOemGrave, ScanCode::kGrave},
    {VirtualKey::kOemBackslash, ScanCode::kBackslash},
    {VirtualKey::kOemComma, ScanCode::kComma},
    {VirtualKey::kOemPeriod, ScanCode::kPeriod},
    {VirtualKey::kOemSlash, ScanCode::kSlash},
};
static_assert(std::size(kSymbolKeys) == kSymbols.size());
static_assert(kShiftedSymbols.size() == kSymbols.size());

constexpr uint16_t kLetterScanCodes[26] = {
    ScanCode::kA, ScanCode::kB, ScanCode::kC, ScanCode::kD, ScanCode::kE, ScanCode::kF,
    ScanCode::kG, ScanCode::kH, ScanCode::kI, ScanCode::kJ, ScanCode::kK, ScanCode::kL,
    ScanCode::kM, ScanCode::kN, ScanCode::kO, ScanCode::kP, ScanCode::kQ, ScanCode::kR,
    ScanCode::kS, ScanCode::kT, ScanCode::kU, ScanCode::kV, ScanCode::kW, ScanCode::kX,
    ScanCode::kY, ScanCode::kZ};

KeyEvent LetterPress(char upperCase, uint8_t character, uint32_t controlState) {
  return KeyPress(static_cast<uint16_t>(upperCase), kLetterScanCodes[upperCase - 'A'], character,
                  controlState);
}

KeyEvent SymbolPress(char symbol, uint8_t character, uint32_t controlState) {
  if (const auto at = kSymbols.find(symbol); at != std::string_view::npos)
    return KeyPress(kSymbolKeys[at].virtualKey, kSymbolKeys[at].scanCode, character, controlState);
  const auto at = kShiftedSymbols.find(symbol);
  return KeyPress(kSymbolKeys[at].virtualKey, kSymbolKeys[at].scanCode, character,
                  controlState | KeyState::kShift);
}

}  // namespace

KeyEvent AsciiKeyPress(uint8_t byte) {
  constexpr uint32_t kCtrl = KeyState::kLeftCtrl;
  switch (byte) {
    case 0x00:
      return SymbolPress('2', 0, kCtrl);
    case 0x08:
    case 0x7F:
      return KeyPress(VirtualKey::kBackspace, ScanCode::kBackspace, 0x08, 0);
    case 0x09:
      return KeyPress(VirtualKey::kTab, ScanCode::kTab, 0x09, 0);
    case 0x0D:
      return KeyPress(VirtualKey::kEnter, ScanCode::kEnter, 0x0D, 0);
    case 0x1B:
      return KeyPress(VirtualKey::kEscape, ScanCode::kEscape, 0x1B, 0);
    case 0x1C:
      return SymbolPress('\\', byte, kCtrl);
    case 0x1D:
      return SymbolPress(']', byte, kCtrl);
    case 0x1E:
      return SymbolPress('^', byte, kCtrl);
    case 0x1F:
      return SymbolPress('_', byte, kCtrl);
    case ' ':
      return KeyPress(VirtualKey::kSpace, ScanCode::kSpace, ' ', 0);
  }
  if (byte < 0x20) return LetterPress(static_cast<char>('A' + byte - 1), byte, kCtrl);
  if (byte >= 'A' && byte <= 'Z')
    return LetterPress(static_cast<char>(byte), byte, KeyState::kShift);
  if (byte >= 'a' && byte <= 'z') return LetterPress(static_cast<char>(byte - 'a' + 'A'), byte, 0);
  return SymbolPress(static_cast<char>(byte), byte, 0);
}
