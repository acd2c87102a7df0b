// Which way of reporting keys a terminal is asked to use, and the start-up
// talk that decides it: the queries to send, the answers the terminal gives,
// the sequence that turns the chosen reporting on and the one that gives the
// terminal its own back, and the keypad's mode as found, so that it can be
// set back to that. A pure state machine: answers and the time go in, a
// decision comes out.
#pragma once

#include <cstdint>
#include <string_view>

#include "terminal/KeySequences.h"

/// How the terminal reports keys.
enum class KeyProtocol {
  kLegacy,      // the classic sequences: presses only, modifiers guessed
  kKitty,       // kitty's CSI u events: presses, repeats, releases, lone modifiers
  kWin32Input,  // one record per press and per release, fields as a Windows console's
};

/// An answer of the terminal to a query, found among its input bytes.
struct TerminalReply {
  enum class Kind {
    kKittyFlags,        // CSI ? flags u
    kModeReport,        // CSI ? mode ; state $ y
    kDeviceAttributes,  // CSI ? ... c
  };
  Kind kind;
  int mode = 0;   // the mode a report is about
  int value = 0;  // the flags, or the mode's state
  friend bool operator==(const TerminalReply&, const TerminalReply&) = default;
};

/// The start-up negotiation: asks for kitty's protocol, win32-input-mode and
/// the keypad's mode, with the device attributes last so that every terminal
/// answers something.
class KeyboardNegotiation {
 public:
  /// Asks for the kitty flags (CSI ? u), the states of win32-input-mode and of
  /// the keypad (DECRQM CSI ? 9001 $ p, CSI ? 66 $ p) and the primary device
  /// attributes (CSI c), in this order.
  static constexpr std::string_view kQueries = "\x1b[?u\x1b[?9001$p\x1b[?66$p\x1b[c";
  /// How long to wait for the answers when the device attributes never come.
  static constexpr int64_t kAnswerTimeoutMilliseconds = 150;
  /// The private mode number of win32-input-mode.
  static constexpr int kWin32InputMode = 9001;
  /// The private mode number that reports the keypad's mode (DECNKM): set for
  /// application mode, reset for numeric mode.
  static constexpr int kKeypadMode = 66;
  static constexpr std::string_view kKeypadApplication =
      "\x1b=";  // DECKPAM: the keypad's own sequences
  static constexpr std::string_view kKeypadNumeric = "\x1b>";  // DECKPNM: plain digits

  /// False for a terminal without a terminfo entry, which may misread the
  /// queries, and for the Linux console (known by its keys' variant), which
  /// supports neither protocol and misreads them.
  static bool WorthAsking(bool described, TerminalVariant variant);

  /// A negotiation whose queries were sent at `now` (milliseconds on a steady clock).
  explicit KeyboardNegotiation(int64_t now) : deadline_(now + kAnswerTimeoutMilliseconds) {}

  /// Takes one answer of the terminal.
  void Take(const TerminalReply& reply);
  /// True once the device attributes have answered or the time is up at `now`.
  bool Finished(int64_t now) const { return answered_ || now >= deadline_; }
  /// When the wait gives up.
  int64_t Deadline() const { return deadline_; }
  /// The reporting to use, by the answers taken so far: kitty's when offered,
  /// else win32-input-mode when offered, else the legacy sequences.
  KeyProtocol Decision() const;

  /// The bytes that turn `protocol` on (empty for the legacy sequences).
  static std::string_view EnableSequence(KeyProtocol protocol);
  /// The bytes that give the terminal its previous reporting back, by the
  /// answers: win32-input-mode found on stays on. A static text, safe to write
  /// from a signal handler.
  std::string_view RestoreSequence(KeyProtocol protocol) const;
  /// The bytes that give the keypad its mode back: application mode where the
  /// terminal said it was in it, else numeric mode. A static text.
  std::string_view KeypadRestoreSequence() const;

 private:
  int64_t deadline_;
  bool answered_ = false;
  bool kittyOffered_ = false;
  bool win32InputOffered_ = false;
  bool win32InputFoundOn_ = false;
  bool keypadFoundApplication_ = false;
};
