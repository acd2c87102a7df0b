// Key events from the bytes of a redirected standard input (a pipe or a file),
// decoded as a terminal's, each line end one Enter. A pipe cannot be asked whether bytes are
// waiting, so a thread of its own reads them as they come and wakes the waiting side.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>

#include "console/ConsoleDevice.h"
#include "terminal/KeyDecoder.h"

class StandardInputKeys {
 public:
  /// Starts reading `input` on a thread of its own.
  explicit StandardInputKeys(HANDLE input);

  /// Takes the next decoded event without waiting; false when none is complete yet.
  bool Next(KeyEvent& event);
  /// Sleeps until bytes arrive, the input ends, or a held lone Esc is due.
  void Wait();
  /// True once the input has ended and no event is left.
  bool Ended() const { return endTaken_ && decoder_.Empty(); }

 private:
  static DWORD WINAPI ReadLoop(void* self);
  /// Hands what the reading thread has gathered to the decoder.
  void TakeArrived();

  HANDLE input_;
  HANDLE arrived_;  // set while gathered bytes or the end wait to be taken
  std::mutex lock_;
  std::string gathered_;
  bool ended_ = false;
  bool endTaken_ = false;
  KeyDecoder decoder_;
};
