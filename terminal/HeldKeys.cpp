#include "HeldKeys.h"

namespace {

constexpr char kEscape = '\x1b';
constexpr char kWin32InputFinal = '_';  // CSI Vk;Sc;Uc;Kd;Cs;Rc _
constexpr int kKittyRelease = 3;        // the event type after the modifiers: CSI code;mods:3 u

// The decimal number that starts `text`, and where it ends; 0 when none.
int Number(const char*& text, const char* end) {
  int value = 0;
  for (; text < end && *text >= '0' && *text <= '9'; ++text) value = value * 10 + (*text - '0');
  return value;
}

// Skips to the character after the next `separator`; false when there is none.
bool Skip(const char*& text, const char* end, char separator) {
  while (text < end && *text != separator) ++text;
  if (text == end) return false;
  ++text;
  return true;
}

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
  const char* text = parameters_;
  const char* end = parameters_ + length_;
  const int code = Number(text, end);
  bool pressed;
  if (final == kWin32InputFinal) {
    // The key-down field is the fourth.
    if (!Skip(text, end, ';') || !Skip(text, end, ';') || !Skip(text, end, ';')) return;
    pressed = Number(text, end) == 1;
  } else {
    // A press has no event type or type 1, a repeat 2, a release 3.
    int event = 1;
    if (Skip(text, end, ';')) {
      while (text < end && *text != ';' && *text != ':') ++text;
      if (text < end && *text++ == ':') event = Number(text, end);
    }
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
