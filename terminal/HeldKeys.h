// How many keys are held down, followed through the key reports of the kitty
// keyboard protocol and win32-input-mode: at the end of a run, the releases
// of keys still held are read before the key reporting is turned off, so that
// none is left for the shell. Allocates nothing, so signal handlers may use it.
#pragma once

class HeldKeys {
 public:
  /// Starts with `held` keys known to be down.
  explicit HeldKeys(int held) : held_(held) {}

  /// Takes the next input byte.
  void Feed(char byte);
  /// The keys held down now; 0 once every one has been released.
  int Held() const { return held_; }

 private:
  enum class State { kGround, kEscape, kSequence };
  static constexpr int kMaxParameters = 64;
  static constexpr int kMaxPressed = 16;

  /// Takes the control sequence ending in `final` whose parameters were gathered.
  void TakeSequence(char final);

  int held_;
  State state_ = State::kGround;
  char parameters_[kMaxParameters] = {};
  int length_ = 0;
  // The keys pressed since the start, each as its code and final byte.
  int pressed_[kMaxPressed] = {};
  int pressedCount_ = 0;
};
