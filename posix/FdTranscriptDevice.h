// The transcript device on file descriptors, for runs whose standard output is
// not a terminal: the transcript is written to one descriptor, and keys come
// from the bytes of the other, decoded as a terminal's, each line end one Enter.
#pragma once

#include "TerminalInput.h"
#include "console/TranscriptDevice.h"

class FdTranscriptDevice : public TranscriptDevice {
 public:
  /// Reads keys from `inputFd` and writes the transcript to `outputFd`.
  FdTranscriptDevice(int inputFd, int outputFd) : input_(inputFd), outputFd_(outputFd) {
    // The input is a pipe, a file, or a terminal left in its line mode, whose
    // own echo and line editing serve the typed line: keys come as lines of text.
    input_.TakeLinesOfText();
  }

  bool PollEvent(KeyEvent& event) override { return input_.Next(event); }
  void WaitForEvent() override;
  bool InputEnded() override { return input_.Ended(); }
  void Sleep(uint32_t milliseconds) override;

 protected:
  void WriteText(std::string_view text) override;

 private:
  TerminalInput input_;
  int outputFd_;
};
