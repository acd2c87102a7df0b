#include "KeySequences.h"

#include <span>

#include "KeyLayout.h"

namespace {

struct NamedKey {
  int code;  // the final byte or the number that names the key
  KeyEvent event;
};

constexpr uint32_t kEnhanced = KeyState::kEnhanced;

constexpr KeyEvent kUp = KeyPress(VirtualKey::kUp, ScanCode::kUp, 0, kEnhanced);
constexpr KeyEvent kDown = KeyPress(VirtualKey::kDown, ScanCode::kDown, 0, kEnhanced);
constexpr KeyEvent kRight = KeyPress(VirtualKey::kRight, ScanCode::kRight, 0, kEnhanced);
constexpr KeyEvent kLeft = KeyPress(VirtualKey::kLeft, ScanCode::kLeft, 0, kEnhanced);
constexpr KeyEvent kHome = KeyPress(VirtualKey::kHome, ScanCode::kHome, 0, kEnhanced);
constexpr KeyEvent kEnd = KeyPress(VirtualKey::kEnd, ScanCode::kEnd, 0, kEnhanced);
constexpr KeyEvent kInsert = KeyPress(VirtualKey::kInsert, ScanCode::kInsert, 0, kEnhanced);
constexpr KeyEvent kDelete = KeyPress(VirtualKey::kDelete, ScanCode::kDelete, 0, kEnhanced);
constexpr KeyEvent kPageUp = KeyPress(VirtualKey::kPageUp, ScanCode::kPageUp, 0, kEnhanced);
constexpr KeyEvent kPageDown = KeyPress(VirtualKey::kPageDown, ScanCode::kPageDown, 0, kEnhanced);
// Keypad 5 with Num Lock off.
constexpr KeyEvent kKeypadCenter = KeyPress(VirtualKey::kClear, ScanCode::kCenter, 0, 0);

constexpr KeyEvent kKeypadEnter = KeyPress(VirtualKey::kEnter, ScanCode::kEnter, '\r', kEnhanced);
constexpr KeyEvent kKeypadDecimal = KeyPress(VirtualKey::kDecimal, ScanCode::kDelete, '.', 0);
constexpr KeyEvent kKeypadDivide = KeyPress(VirtualKey::kDivide, ScanCode::kSlash, '/', kEnhanced);
constexpr KeyEvent kKeypadMultiply = KeyPress(VirtualKey::kMultiply, ScanCode::kMultiply, '*', 0);
constexpr KeyEvent kKeypadSubtract = KeyPress(VirtualKey::kSubtract, ScanCode::kSubtract, '-', 0);
constexpr KeyEvent kKeypadAdd = KeyPress(VirtualKey::kAdd, ScanCode::kAdd, '+', 0);

constexpr KeyEvent FunctionKey(int number) {
  return KeyPress(static_cast<uint16_t>(VirtualKey::kF1 + number - 1), FunctionKeyScanCode(number),
                  0, 0);
}

constexpr KeyEvent KeypadDigit(int digit) {
  return KeyPress(static_cast<uint16_t>(VirtualKey::kNumpad0 + digit), kKeypadDigitScanCodes[digit],
                  static_cast<uint8_t>('0' + digit), 0);
}

constexpr KeyEvent WithCtrl(KeyEvent event) {
  event.controlState |= KeyState::kLeftCtrl;
  return event;
}

constexpr KeyEvent WithShift(KeyEvent event) {
  event.controlState |= KeyState::kShift;
  return event;
}

// The final bytes that name the same keys after CSI and after SS3.
constexpr NamedKey kCursorAndFunctionKeys[] = {
    {'A', kUp},
    {'B', kDown},
    {'C', kRight},
    {'D', kLeft},
    {'H', kHome},
    {'F', kEnd},
    {'E', kKeypadCenter},
    {'P', FunctionKey(1)},
    {'Q', FunctionKey(2)},
    {'R', FunctionKey(3)},
    {'S', FunctionKey(4)},
};

constexpr NamedKey kCsiFinalKeys[] = {
    {'G', kKeypadCenter},  // the Linux console's keypad 5
    {'Z', WithShift(KeyPress(VirtualKey::kTab, ScanCode::kTab, '\t', 0))},  // Shift+Tab
    {'a', WithShift(kUp)},                                                  // rxvt's Shift+arrows
    {'b', WithShift(kDown)},
    {'c', WithShift(kRight)},
    {'d', WithShift(kLeft)},
};

// 1 and 7 are Home, 4 and 8 End on VT220-style terminals, the Linux console and rxvt.
constexpr NamedKey kCsiNumberKeys[] = {
    {1, kHome},
    {2, kInsert},
    {3, kDelete},
    {4, kEnd},
    {5, kPageUp},
    {6, kPageDown},
    {7, kHome},
    {8, kEnd},
    {11, FunctionKey(1)},
    {12, FunctionKey(2)},
    {13, FunctionKey(3)},
    {14, FunctionKey(4)},
    {15, FunctionKey(5)},
    {17, FunctionKey(6)},
    {18, FunctionKey(7)},
    {19, FunctionKey(8)},
    {20, FunctionKey(9)},
    {21, FunctionKey(10)},
    {23, FunctionKey(11)},
    {24, FunctionKey(12)},
};

constexpr NamedKey kLinuxFunctionKeys[] = {
    {'A', FunctionKey(1)}, {'B', FunctionKey(2)}, {'C', FunctionKey(3)},
    {'D', FunctionKey(4)}, {'E', FunctionKey(5)},
};

constexpr NamedKey kSs3Keys[] = {
    {'p', KeypadDigit(0)},  {'q', KeypadDigit(1)},   {'r', KeypadDigit(2)},  {'s', KeypadDigit(3)},
    {'t', KeypadDigit(4)},  {'u', KeypadDigit(5)},   {'v', KeypadDigit(6)},  {'w', KeypadDigit(7)},
    {'x', KeypadDigit(8)},  {'y', KeypadDigit(9)},   {'M', kKeypadEnter},    {'n', kKeypadDecimal},
    {'o', kKeypadDivide},   {'j', kKeypadMultiply},  {'m', kKeypadSubtract}, {'k', kKeypadAdd},
    {'l', kKeypadAdd},     // the VT220 keypad's ',' stands where a PC keypad has '+'
    {'a', WithCtrl(kUp)},  // rxvt's Ctrl+arrows
    {'b', WithCtrl(kDown)}, {'c', WithCtrl(kRight)}, {'d', WithCtrl(kLeft)},
};

// The Linux console's application keypad uses the letters xterm gives F2..F4.
constexpr NamedKey kLinuxKeypadOperators[] = {
    {'Q', kKeypadDivide},
    {'R', kKeypadMultiply},
    {'S', kKeypadSubtract},
};

// The keypad's keys with Num Lock off, which are not the cursor block's enhanced keys.
constexpr KeyEvent KeypadKey(uint16_t virtualKey, uint16_t scanCode) {
  return KeyPress(virtualKey, scanCode, 0, 0);
}

constexpr KeyCapability kKeyCapabilities[] = {
    {"kcuu1", kUp},
    {"kcud1", kDown},
    {"kcuf1", kRight},
    {"kcub1", kLeft},
    {"khome", kHome},
    {"kend", kEnd},
    {"kich1", kInsert},
    {"kdch1", kDelete},
    {"kpp", kPageUp},
    {"knp", kPageDown},
    {"kcbt", WithShift(KeyPress(VirtualKey::kTab, ScanCode::kTab, '\t', 0))},
    {"kLFT", WithShift(kLeft)},
    {"kRIT", WithShift(kRight)},
    {"kHOM", WithShift(kHome)},
    {"kEND", WithShift(kEnd)},
    {"kIC", WithShift(kInsert)},
    {"kDC", WithShift(kDelete)},
    {"kPRV", WithShift(kPageUp)},
    {"kNXT", WithShift(kPageDown)},
    {"kf1", FunctionKey(1)},
    {"kf2", FunctionKey(2)},
    {"kf3", FunctionKey(3)},
    {"kf4", FunctionKey(4)},
    {"kf5", FunctionKey(5)},
    {"kf6", FunctionKey(6)},
    {"kf7", FunctionKey(7)},
    {"kf8", FunctionKey(8)},
    {"kf9", FunctionKey(9)},
    {"kf10", FunctionKey(10)},
    {"kf11", FunctionKey(11)},
    {"kf12", FunctionKey(12)},
    {"ka1", KeypadKey(VirtualKey::kHome, ScanCode::kHome)},
    {"ka3", KeypadKey(VirtualKey::kPageUp, ScanCode::kPageUp)},
    {"kb2", kKeypadCenter},
    {"kbeg", kKeypadCenter},
    {"kc1", KeypadKey(VirtualKey::kEnd, ScanCode::kEnd)},
    {"kc3", KeypadKey(VirtualKey::kPageDown, ScanCode::kPageDown)},
    {"kent", kKeypadEnter},
};

// The Linux console's F1, which no other terminal sends.
constexpr std::string_view kLinuxF1 = "\x1b[[A";

bool Find(std::span<const NamedKey> table, int code, KeyEvent& event) {
  for (const NamedKey& key : table) {
    if (key.code == code) {
      event = key.event;
      return true;
    }
  }
  return false;
}

}  // namespace

std::span<const KeyCapability> KeyCapabilities() {
  return kKeyCapabilities;
}

TerminalVariant VariantOf(std::span<const DeclaredKey> keys) {
  for (const DeclaredKey& key : keys)
    if (key.sequence == kLinuxF1 && key.event == FunctionKey(1))
      return TerminalVariant::kLinuxConsole;
  return TerminalVariant::kXterm;
}

bool CsiFinalKey(char final, KeyEvent& event) {
  return Find(kCursorAndFunctionKeys, final, event) || Find(kCsiFinalKeys, final, event);
}

bool CsiNumberKey(int number, KeyEvent& event) {
  return Find(kCsiNumberKeys, number, event);
}

bool LinuxFunctionKey(char final, KeyEvent& event) {
  return Find(kLinuxFunctionKeys, final, event);
}

bool Ss3Key(char final, TerminalVariant variant, KeyEvent& event) {
  if (variant == TerminalVariant::kLinuxConsole && final >= 'P' && final <= 'S')
    return Find(kLinuxKeypadOperators, final, event);
  return Find(kCursorAndFunctionKeys, final, event) || Find(kSs3Keys, final, event);
}
