#include "KeyEvents.h"

namespace testing_support {

KeyEvent Release(uint16_t virtualKey, uint16_t scanCode, uint32_t controlState) {
  KeyEvent event = KeyPress(virtualKey, scanCode, 0, controlState);
  event.keyDown = false;
  return event;
}

KeyEvent EventOf(const ExpectedKey& key) {
  KeyEvent event = KeyPress(key.virtualKey, key.scanCode, key.character, key.controlState);
  event.keyDown = key.down;
  event.repeatCount = key.repeatCount;
  return event;
}

KeyEvent LeftKey() {
  return KeyPress(VirtualKey::kLeft, ScanCode::kLeft, 0, KeyState::kEnhanced);
}
KeyEvent RightKey() {
  return KeyPress(VirtualKey::kRight, ScanCode::kRight, 0, KeyState::kEnhanced);
}
KeyEvent HomeKey() {
  return KeyPress(VirtualKey::kHome, ScanCode::kHome, 0, KeyState::kEnhanced);
}
KeyEvent EndKey() {
  return KeyPress(VirtualKey::kEnd, ScanCode::kEnd, 0, KeyState::kEnhanced);
}
KeyEvent EnterKey() {
  return CharKey('\r', VirtualKey::kEnter, ScanCode::kEnter);
}
KeyEvent AltRelease() {
  return Release(VirtualKey::kAlt, ScanCode::kAlt);
}

std::vector<KeyEvent> Decode(std::string_view bytes, KeyProtocol protocol,
                             const std::vector<DeclaredKey>& declared) {
  KeyDecoder decoder(declared);
  decoder.SetProtocol(protocol);
  decoder.Feed(bytes, 0);
  return TakeEvents(decoder);
}

}  // namespace testing_support
