// Key events from a terminal's input bytes (or from any byte stream standing in
// for a terminal, such as a pipe): reads what has arrived without blocking,
// decodes it with KeyDecoder, and tells a waiting caller how long it may sleep
// before a pending lone Esc must be delivered or the start-up answers are given
// up. At start-up it can ask the terminal for full key events (presses,
// releases, lone modifiers) and for the keypad's mode, and have the modes set
// once the answers are in, while the program goes on.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "console/ConsoleDevice.h"
#include "terminal/KeyDecoder.h"
#include "terminal/KeyboardProtocol.h"

class TerminalInput {
 public:
  /// Decodes the bytes of `fd`, knowing also the sequences of `declared`; the
  /// fd's flags are left as they are.
  explicit TerminalInput(int fd, std::vector<DeclaredKey> declared = {})
      : fd_(fd), decoder_(std::move(declared)) {}

  int Fd() const { return fd_; }
  /// Reads the bytes that have arrived (never blocking) and takes the next
  /// decoded event; false when none is complete yet. Ctrl+C as a key event
  /// (full key reporting on) ends the run here with the control-C exit.
  bool Next(KeyEvent& event);
  /// How long a wait may sleep before Next has something to deliver without
  /// new input (a lone Esc whose timeout runs out): -1 for no limit, in milliseconds.
  int TimeoutMilliseconds() const;
  /// True once the input has ended (end of file, hang-up) and no event is left.
  bool Ended() const;

  /// Takes every line end as one press of Enter: for bytes that come as lines
  /// of text rather than from a terminal in raw mode.
  void TakeLinesOfText() { decoder_.SetLineEndsAsEnter(true); }

  /// Sends the queries through `send` and returns at once. The answers are
  /// taken as they arrive (TakeAnswers, Next) until the device attributes
  /// answer or a bounded time is up; then `turnOn` is given the negotiation,
  /// to turn on the best key reporting the terminal offers (its Decision) and
  /// set the modes, their undo as the answers found them, and keys are decoded
  /// by that reporting from then on. Keys typed meanwhile are kept; answers,
  /// late ones too, are never keys.
  void StartNegotiation(const std::function<void(std::string_view)>& send,
                        std::function<void(const KeyboardNegotiation&)> turnOn);
  /// True while the answers are awaited.
  bool Negotiating() const { return negotiation_.has_value(); }
  /// How long the answers may still take, in milliseconds; -1 when none are awaited.
  int AnswerWaitMilliseconds() const;
  /// Reads everything that has arrived, takes the answers among it, and has
  /// the chosen reporting turned on once the negotiation is over.
  void TakeAnswers();
  /// The key reporting turned on; safe to read inside a signal handler.
  KeyProtocol Protocol() const { return protocol_; }
  /// With key reporting on, reads the input until every key still held down
  /// has been released, for a short time at most, so that no release is left
  /// for whoever reads the terminal next. Async-signal-safe.
  void TakeHeldKeysReleases();

 private:
  /// Reads what has arrived until an event is ready.
  void ReadAvailable();
  /// One read of what has arrived; false when nothing was waiting or the input has ended.
  bool ReadOnce();
  /// Takes the next decoded event, reading what has arrived first when none is waiting.
  bool Take(KeyEvent& event);
  /// Follows which keys are held down.
  void Follow(const KeyEvent& event);

  static constexpr int kMaxHeld = 16;

  int fd_;
  bool endOfInput_ = false;
  KeyDecoder decoder_;
  uint16_t heldKeys_[kMaxHeld] = {};  // virtual keys pressed and not yet released
  std::atomic<int> heldCount_ = 0;
  std::optional<KeyboardNegotiation> negotiation_;
  std::function<void(const KeyboardNegotiation&)> turnOn_;
  std::atomic<KeyProtocol> protocol_ = KeyProtocol::kLegacy;
};
