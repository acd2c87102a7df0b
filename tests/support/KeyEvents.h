// Key events as a PC keyboard gives them, built for the tests that feed them
// to the keyboard or expect them from a decoder, and the events a decoder
// gives for the bytes a terminal sends.
#pragma once

#include <string_view>
#include <vector>

#include "console/KeyCodes.h"
#include "terminal/KeyDecoder.h"

namespace testing_support {

/// Short names of the control states for the rows of key tables; Alt and
/// Ctrl are the left keys unless named right.
namespace Held {
inline constexpr uint32_t kEnh = KeyState::kEnhanced;
inline constexpr uint32_t kShift = KeyState::kShift;
inline constexpr uint32_t kAlt = KeyState::kLeftAlt;
inline constexpr uint32_t kRAlt = KeyState::kRightAlt;
inline constexpr uint32_t kCtrl = KeyState::kLeftCtrl;
inline constexpr uint32_t kRCtrl = KeyState::kRightCtrl;
inline constexpr uint32_t kCaps = KeyState::kCapsLock;
inline constexpr uint32_t kNum = KeyState::kNumLock;
}  // namespace Held

/// A key press with a character (ordinary letters, digits, controls).
constexpr KeyEvent CharKey(char character, uint16_t virtualKey = 0, uint16_t scanCode = 0,
                           uint32_t controlState = 0) {
  return KeyPress(virtualKey, scanCode, static_cast<uint8_t>(character), controlState);
}
/// The release of a key.
KeyEvent Release(uint16_t virtualKey, uint16_t scanCode = 0, uint32_t controlState = 0);

/// A key event by its fields, as the rows of a table give them.
struct ExpectedKey {
  uint16_t virtualKey;
  uint16_t scanCode;
  uint8_t character;
  uint32_t controlState;
  bool down = true;
  uint16_t repeatCount = 1;
};
KeyEvent EventOf(const ExpectedKey& key);

/// Named keys as a PC keyboard sends them.
KeyEvent LeftKey();
KeyEvent RightKey();
KeyEvent HomeKey();
KeyEvent EndKey();
KeyEvent EnterKey();
KeyEvent AltRelease();

/// Every event `source` (a decoder, a terminal input) can give now, without waiting.
template <typename Source>
std::vector<KeyEvent> TakeEvents(Source& source) {
  std::vector<KeyEvent> events;
  KeyEvent event;
  while (source.Next(event)) events.push_back(event);
  return events;
}
/// The events of `bytes` received at once by a new decoder.
std::vector<KeyEvent> Decode(std::string_view bytes, KeyProtocol protocol = KeyProtocol::kLegacy,
                             const std::vector<DeclaredKey>& declared = {});

}  // namespace testing_support
