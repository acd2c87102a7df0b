#include "HeldKeys.h"

#include "CsiParameters.h"

namespace {

constexpr char kEscape = '\x1b';
constexpr char kWin32InputFinal = '_';  // CSI Vk;Sc;Uc;Kd;Cs;Rc _
constexpr uint32_t kKittyRelease = 3;   // the event type after the modifiers: CSI code;mods:3 u
constexpr uint32_t kLargestParameter = 0x10FFFF;  // a key report carries code points at most

}  // namespace

void HeldKeys::Feed(char byte) {
  switch (state_) {
    case State::kGround:
      if (byte == kEscape) state_ = State::kEscape;
      return;
    case State::kEscape:
      state_ = byte == '[' ? State::kSequence : State::kGround;
      length_ = 0;
      return;
    case State::kSequence:
      if (byte >= 0x40 && byte <= 0x7E) {
        TakeSequence(byte);
        state_ = State::kGround;
      } else if (length_ < kMaxParameters) {
        parameters_[length_++] = byte;
      }
      return;
  }
}

void HeldKeys::TakeSequence(char final) {
  CsiParameters parameters;
  if (!ParseCsiParameters(std::string_view(parameters_, static_cast<size_t>(length_)),
                          kLargestParameter, parameters))
    return;
  const int code = static_cast<int>(parameters.at[0][0]);
  bool pressed;
  if (final == kWin32InputFinal) {
    // The key-down field is the fourth.
    if (parameters.count < 4) return;
    pressed = parameters.at[3][0] == 1;
  } else {
    // A press has no event type or type 1, a repeat 2, a release 3.
    const uint32_t event = parameters.subCount[1] >= 2 ? parameters.at[1][1] : 1;
    if (event != 1 && event != kKittyRelease) return;
    pressed = event == 1;
  }
  const int key = code * 128 + final;
  int at = 0;
  while (at < pressedCount_ && pressed_[at] != key) ++at;
  if (pressed) {
    // A key pressed again without a release, as win32-input-mode repeats, counts once.
    if (at < pressedCount_ || pressedCount_ == kMaxPressed) return;
    pressed_[pressedCount_++] = key;
    ++held_;
  } else {
    if (at < pressedCount_) pressed_[at] = pressed_[--pressedCount_];
    if (held_ > 0) --held_;
  }
}
