#include "KeyLayout.h"

#include <string_view>

namespace {

struct KeyCap {
  uint16_t virtualKey;
  uint16_t scanCode;
};

// The symbol keys: each position is one key, typing the first text's byte
// alone and the second's with Shift.
constexpr std::string_view kSymbols = "1234567890-=[];'`\\,./";
constexpr std::string_view kShiftedSymbols = "!@#$%^&*()_+{}:\"~|<>?";
constexpr KeyCap kSymbolKeys[] = {
    {49, 2},   {50, 3},   {51, 4},   {52, 5},   {53, 6},   {54, 7},   {55, 8},
    {56, 9},   {57, 10},  {48, 11},  {189, 12}, {187, 13}, {219, 26}, {221, 27},
    {186, 39}, {222, 40}, {192, 41}, {220, 43}, {188, 51}, {190, 52}, {191, 53},
};
static_assert(std::size(kSymbolKeys) == kSymbols.size());
static_assert(kShiftedSymbols.size() == kSymbols.size());

constexpr uint16_t kLetterScanCodes[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                           49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};

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
