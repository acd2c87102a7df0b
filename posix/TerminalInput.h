// Key events from a terminal's input bytes (or from any byte stream standing in
// for a terminal, such as a pipe): reads what has arrived without blocking,
// decodes it with KeyDecoder, and tells a waiting caller how long it may sleep
// before a pending lone Esc must be delivered or the start-up answers are given
// up. At start-up it takes the terminal's answers to the negotiation's queries
// while the program goes on, and hands the finished negotiation on; it never
// writes to the terminal.
#pragma once

#include <atomic>
#include <optional>
#include <string_view>
#include <vector>

#include "console/ConsoleDevice.h"
#include "terminal/KeyDecoder.h"
#include "terminal/TerminalNegotiation.h"

class TerminalInput {
 public:
  /// Decodes the bytes of `fd`, knowing also the sequences of `declared`; the
  /// fd's flags are left as they are.
  explicit TerminalInput(int fd, std::vector<DeclaredKey> declared = {})
      : fd_(fd), decoder_(std::move(declared)) {}

  int Fd() const { return fd_; }
  /// Reads the bytes that have arrived (never blocking) and takes the next
  /// decoded event; false when none is complete yet.
  bool Next(KeyEvent& event);
  /// How long a wait may sleep before Next has something to deliver without
  /// new input (a lone Esc whose timeout runs out): -1 for no limit, in milliseconds.
  int TimeoutMilliseconds() const;
  /// True once the input has ended (end of file, hang-up) and no event is left.
  bool Ended() const;

  /// Takes every line end as one press of Enter: for bytes that come as lines
  /// of text rather than from a terminal in raw mode.
  void TakeLinesOfText() { decoder_.SetLineEndsAsEnter(true); }

  /// Starts the negotiation with a terminal that `described` describes and
  /// returns its queries, for the caller to send now. The answers are taken
  /// as they arrive (TakeAnswers) until the device attributes answer or a
  /// bounded time is up. Keys typed meanwhile are kept; answers, late ones
  /// too, are never keys.
  std::string_view AwaitAnswers(const TerminalCapabilities& described);
  /// True while the answers are awaited.
  bool Negotiating() const { return negotiation_.has_value(); }
  /// How long the answers may still take, in milliseconds; -1 when none are awaited.
  int AnswerWaitMilliseconds() const;
  /// Reads what has arrived (a bounded amount) and takes the answers among
  /// it. Once the negotiation is over, returns it, the one time, and decodes
  /// keys by the reporting it decided from then on, which the caller turns on.
  std::optional<TerminalNegotiation> TakeAnswers();
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
  std::optional<TerminalNegotiation> negotiation_;
  std::atomic<KeyProtocol> protocol_ = KeyProtocol::kLegacy;
};
