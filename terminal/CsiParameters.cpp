#include "CsiParameters.h"

#include "console/ConsoleDevice.h"

bool CsiParameters::Plain() const {
  for (int field = 0; field < count; ++field)
    if (subCount[field] > 1) return false;
  return true;
}

bool ParseCsiParameters(std::string_view bytes, uint32_t limit, CsiParameters& parameters) {
  parameters = CsiParameters{};
  if (bytes.empty()) return true;
  parameters.count = 1;
  parameters.subCount[0] = 1;
  uint32_t beyondKept = 0;  // a sub-field past the kept ones, checked and dropped
  for (const char c : bytes) {
    const int field = parameters.count - 1;
    int& sub = parameters.subCount[field];
    if (c == ';') {
      if (parameters.count == CsiParameters::kMaxFields) return false;
      parameters.subCount[parameters.count++] = 1;
    } else if (c == ':') {
      ++sub;
      beyondKept = 0;
    } else if (c >= '0' && c <= '9') {
      uint32_t& value =
          sub <= CsiParameters::kMaxSubFields ? parameters.at[field][sub - 1] : beyondKept;
      value = value * 10 + static_cast<uint32_t>(c - '0');
      if (value > limit) return false;
      if (sub == 1) parameters.given[field] = true;
    } else {
      return false;
    }
  }
  return true;
}

bool ModifierBits(uint32_t parameter, uint32_t max, uint32_t& bits) {
  if (parameter < 1 || parameter > max) return false;
  bits = parameter - 1;
  return true;
}

uint32_t ModifierKeyState(uint32_t bits) {
  uint32_t state = 0;
  if (bits & ModifierBit::kShift) state |= KeyState::kShift;
  if (bits & ModifierBit::kAlt) state |= KeyState::kLeftAlt;
  if (bits & ModifierBit::kCtrl) state |= KeyState::kLeftCtrl;
  if (bits & ModifierBit::kCapsLock) state |= KeyState::kCapsLock;
  if (bits & ModifierBit::kNumLock) state |= KeyState::kNumLock;
  return state;
}
