#include "Win32InputKeys.h"

#include <cstdint>

#include "CsiParameters.h"
#include "runtime/Win1250.h"

namespace {

enum Field { kVirtualKey, kScanCode, kCharacter, kKeyDown, kControlState, kRepeatCount };

// Every field of a console's key event is at most 16 bits wide.
constexpr uint32_t kMaxField = 0xFFFF;

}  // namespace

bool DecodeWin32InputRecord(std::string_view parameters, KeyEvent& event) {
  CsiParameters fields;
  if (!ParseCsiParameters(parameters, kMaxField, fields) || !fields.Plain()) return false;
  auto field = [&fields](Field which) { return fields.at[which][0]; };
  event = KeyEvent{};
  event.keyDown = field(kKeyDown) != 0;
  event.virtualKey = static_cast<uint16_t>(field(kVirtualKey));
  event.scanCode = static_cast<uint16_t>(field(kScanCode));
  // A UTF-16 unit; half of a character beyond U+FFFF has no byte either.
  event.character = Win1250Byte(field(kCharacter));
  event.controlState = field(kControlState);
  // A repeat count left out or empty is 1; the other fields' default is 0.
  event.repeatCount = fields.given[kRepeatCount] ? static_cast<uint16_t>(field(kRepeatCount)) : 1;
  return true;
}
