// Key events from a terminal's input bytes (or from any byte stream standing in
// for a terminal, such as a pipe): reads what has arrived without blocking,
// decodes it with KeyDecoder, and tells a waiting caller how long it may sleep
// before a pending lone Esc must be delivered.
#pragma once

#include "ConsoleDevice.h"
#include "KeyDecoder.h"

class TerminalInput {
 public:
  /// Decodes the bytes of `fd` by the sequences of `variant`; the fd's flags are left as they are.
  explicit TerminalInput(int fd, TerminalVariant variant = TerminalVariant::kXterm)
      : fd_(fd), decoder_(variant) {}

  int Fd() const { return fd_; }
  /// Reads the bytes that have arrived (never blocking) and takes the next
  /// decoded event; false when none is complete yet.
  bool Next(KeyEvent& event);
  /// How long a wait may sleep before Next has something to deliver without
  /// new input (a lone Esc whose timeout runs out): -1 for no limit, in milliseconds.
  int TimeoutMilliseconds() const;
  /// True once the input has ended (end of file, hang-up) and no event is left.
  bool Ended() const;

 private:
  void ReadAvailable();

  int fd_;
  bool endOfInput_ = false;
  KeyDecoder decoder_;
};
