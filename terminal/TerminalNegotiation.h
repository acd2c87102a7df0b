// The start-up talk with the terminal: the queries to send, the answers it
// gives, and what they decide: the way of reporting keys to ask for (with the
// sequence that turns it on and the one that gives the terminal its own back),
// the keypad's mode as found, so that it can be set back to that, and the
// capabilities the terminal has where they differ from its description. A pure
// state machine: answers and the time go in, decisions come out.
#pragma once

#include <cstdint>
#include <string_view>

#include "KnownTerminals.h"
#include "TerminalCapabilities.h"
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
    kKittyFlags,           // CSI ? flags u
    kModeReport,           // CSI ? mode ; state $ y
    kDeviceAttributes,     // CSI ? ... c
    kSecondaryAttributes,  // CSI > kind ; version ; ... c
    kColourReport,         // OSC 4 ; colour ; value BEL or ST: the colour exists
  };
  Kind kind;
  int mode = 0;   // the mode a report is about, the terminal's kind, the colour reported
  int value = 0;  // the flags, the mode's state, the terminal's version
  friend bool operator==(const TerminalReply&, const TerminalReply&) = default;
};

/// The start-up negotiation: asks for kitty's protocol, win32-input-mode and
/// the keypad's mode, where the description declares fewer than sixteen
/// colours for colour 8, then for what the terminal is, with the device
/// attributes last so that every terminal answers something.
class TerminalNegotiation {
 public:
  /// How long to wait for the answers when the device attributes never come.
  static constexpr int64_t kAnswerTimeoutMilliseconds = 150;
  /// The private mode number of win32-input-mode.
  static constexpr int kWin32InputMode = 9001;
  /// The private mode number that reports the keypad's mode (DECNKM): set for
  /// application mode, reset for numeric mode.
  static constexpr int kKeypadMode = 66;
  /// The colour whose report tells that the terminal has the bright colours.
  static constexpr int kFirstBrightColour = 8;
  static constexpr std::string_view kKeypadApplication =
      "\x1b=";  // DECKPAM: the keypad's own sequences
  static constexpr std::string_view kKeypadNumeric = "\x1b>";  // DECKPNM: plain digits

  /// False for a terminal without a terminfo entry, which may misread the
  /// queries, and for the Linux console (known by its keys' variant), which
  /// supports neither protocol and misreads them.
  static bool WorthAsking(bool described, TerminalVariant variant);

  /// A negotiation with a terminal described by `described`, its queries sent at
  /// `now` (milliseconds on a steady clock).
  TerminalNegotiation(const TerminalCapabilities& described, int64_t now)
      : described_(described), deadline_(now + kAnswerTimeoutMilliseconds) {}

  /// The queries, in order: the kitty flags (CSI ? u), the states of
  /// win32-input-mode and of the keypad (DECRQM CSI ? 9001 $ p, CSI ? 66 $ p),
  /// where the bright colours are not declared colour 8 (OSC 4 ; 8 ; ? BEL),
  /// the secondary (CSI > c) and the primary (CSI c) device attributes. A
  /// static text.
  std::string_view Queries() const;
  /// Takes one answer of the terminal.
  void Take(const TerminalReply& reply);
  /// True once the device attributes have answered or the time is up at `now`.
  bool Finished(int64_t now) const { return answered_ || now >= deadline_; }
  /// When the wait gives up.
  int64_t Deadline() const { return deadline_; }
  /// The reporting to use, by the answers taken so far: kitty's when offered,
  /// else win32-input-mode when offered, else the legacy sequences.
  KeyProtocol Decision() const;
  /// What the renderer may rely on, by the answers taken so far: the
  /// description, with the bright colours where the terminal showed it has
  /// them and what the terminal it said it is differs in from it.
  TerminalCapabilities Capabilities() const;

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
  TerminalCapabilities described_;
  int64_t deadline_;
  bool answered_ = false;
  bool kittyOffered_ = false;
  bool win32InputOffered_ = false;
  bool win32InputFoundOn_ = false;
  bool keypadFoundApplication_ = false;
  bool brightColoursShown_ = false;
  TerminalIdentity identity_;  // its kind once the secondary device attributes answer
};
