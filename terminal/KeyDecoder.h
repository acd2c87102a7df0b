// Key events from the bytes a terminal sends for its keys: the xterm, VT220,
// rxvt and Linux console sequences, the sequences the terminal's description
// declares where these tables lack them, Alt as an Esc prefix, control bytes and
// UTF-8 text (delivered as Windows-1250 bytes), and, once the terminal has
// been asked for them, kitty's key events or win32-input-mode records. The
// terminal's answers to queries (control sequences and control strings) are
// set apart, never taken as keys. A pure
// decoder: bytes and the time go in, key events come out; it does no input of its own.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "KeySequences.h"
#include "KittyKeys.h"
#include "TerminalNegotiation.h"
#include "console/ConsoleDevice.h"

class KeyDecoder {
 public:
  /// How long after its last byte an unfinished sequence is taken as it stands
  /// (a lone Esc as the Esc key).
  static constexpr int64_t kEscTimeoutMilliseconds = 25;

  /// A decoder that also knows the escape sequences among `declared` (a lone
  /// byte stays what it is), with the variant they imply (VariantOf).
  explicit KeyDecoder(std::vector<DeclaredKey> declared = {});

  /// Decodes `bytes`, received at `now` (milliseconds on any steady clock).
  void Feed(std::string_view bytes, int64_t now);
  /// Takes the next decoded event; false when none is complete.
  bool Next(KeyEvent& event);
  /// True when an event is waiting to be taken.
  bool Ready() const { return !events_.empty(); }
  /// True while bytes of an unfinished sequence are held or an overlong
  /// control string is being dropped.
  bool Holding() const { return !held_.empty() || skippingString_; }
  /// The time at which the held bytes are due to be taken as they stand; -1 when none are held.
  int64_t Deadline() const { return Holding() ? deadline_ : -1; }
  /// Takes the held bytes as they stand when their deadline has come by `now`.
  void Expire(int64_t now);
  /// Takes the held bytes as they stand now: a lone Esc becomes the Esc key,
  /// Esc '[', ']', 'O' and 'P' become Alt with that key, a cut UTF-8 character
  /// becomes '?', any other unfinished sequence or string is dropped.
  void Flush();
  /// True when no event is waiting and nothing is held.
  bool Empty() const { return events_.empty() && !Holding(); }

  /// Whether every line end, LF, CR LF or a lone CR, is one press of Enter, as
  /// in keys that come as lines of text (a pipe, a file, a terminal left in its
  /// line mode); otherwise LF is Ctrl+J, as a terminal in raw mode sends it.
  void SetLineEndsAsEnter(bool on) { lineEndsAsEnter_ = on; }

  /// Decodes the bytes from now on as `protocol` reports keys.
  void SetProtocol(KeyProtocol protocol) { protocol_ = protocol; }
  KeyProtocol Protocol() const { return protocol_; }
  /// Takes the oldest terminal answer not yet taken; false when none is waiting.
  bool NextReply(TerminalReply& reply);

 private:
  void Decode(bool final);
  void Emit(KeyEvent event);

  TerminalVariant variant_;
  std::vector<DeclaredKey> declared_;
  KeyProtocol protocol_ = KeyProtocol::kLegacy;
  KittyKeys kitty_;
  std::deque<TerminalReply> replies_;
  std::string held_;
  int64_t deadline_ = 0;
  std::deque<KeyEvent> events_;
  bool lineEndsAsEnter_ = false;
  bool skippingString_ = false;       // the rest of an overlong control string is dropped
  bool afterCarriageReturn_ = false;  // the last key was a lone CR, whose LF may follow
};
