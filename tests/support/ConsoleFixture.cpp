#include "ConsoleFixture.h"

namespace testing_support {

KeyEvent CharKey(char character, uint16_t virtualKey, uint16_t scanCode, uint32_t controlState) {
  KeyEvent event;
  event.character = static_cast<uint8_t>(character);
  event.virtualKey = virtualKey;
  event.scanCode = scanCode;
  event.controlState = controlState;
  return event;
}

KeyEvent ScanKey(uint16_t virtualKey, uint16_t scanCode, uint32_t controlState) {
  return CharKey(0, virtualKey, scanCode, controlState);
}

KeyEvent Release(uint16_t virtualKey, uint16_t scanCode, uint32_t controlState) {
  KeyEvent event = ScanKey(virtualKey, scanCode, controlState);
  event.keyDown = false;
  return event;
}

KeyEvent EventOf(const ExpectedKey& key) {
  KeyEvent event;
  event.keyDown = key.down;
  event.virtualKey = key.virtualKey;
  event.scanCode = key.scanCode;
  event.character = key.character;
  event.controlState = key.controlState;
  event.repeatCount = key.repeatCount;
  return event;
}

KeyEvent LeftKey() {
  return ScanKey(37, 75, KeyState::kEnhanced);
}
KeyEvent RightKey() {
  return ScanKey(39, 77, KeyState::kEnhanced);
}
KeyEvent HomeKey() {
  return ScanKey(36, 71, KeyState::kEnhanced);
}
KeyEvent EndKey() {
  return ScanKey(35, 79, KeyState::kEnhanced);
}
KeyEvent EnterKey() {
  return CharKey('\r', 13, 28);
}

void ConsoleTest::Type(std::string_view text) {
  for (char c : text) device_.QueueEvent(CharKey(c));
}

std::string ConsoleTest::TrimmedRow(int y) const {
  std::string row = Row(y);
  row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

}  // namespace testing_support
