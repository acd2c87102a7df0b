// The transcript device on the standard handles, for runs without a console:
// the transcript goes to standard output's handle, and keys come from
// standard input's bytes, decoded as a terminal's, each line end one Enter.
#pragma once

#include <windows.h>

#include "StandardInputKeys.h"
#include "console/TranscriptDevice.h"

class HandleTranscriptDevice : public TranscriptDevice {
 public:
  /// Reads keys from `input` and writes the transcript to `output`.
  HandleTranscriptDevice(HANDLE input, HANDLE output) : input_(input), output_(output) {}

  bool PollEvent(KeyEvent& event) override { return input_.Next(event); }
  void WaitForEvent() override { input_.Wait(); }
  bool InputEnded() override { return input_.Ended(); }
  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }

 protected:
  void WriteText(std::string_view text) override;

 private:
  StandardInputKeys input_;
  HANDLE output_;
};
