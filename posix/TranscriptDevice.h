// The device for runs whose standard output is not a terminal. The screen is
// kept in memory, and what a person would have read leaves as plain UTF-8
// text, one line per row with its trailing blanks removed: every row of the
// window as it scrolls off the top, every page when it is cleared (its rows up
// to the last one that holds anything), and the last screen at the end.
// Keys come from the input's bytes, decoded as a terminal's.
#pragma once

#include <string>

#include "TerminalInput.h"
#include "console/MemoryDevice.h"

class TranscriptDevice : public MemoryDevice {
 public:
  /// Reads keys from `inputFd` and writes the transcript to `outputFd`.
  TranscriptDevice(int inputFd, int outputFd);

  /// Writes the last screen; called once at the end of the run.
  void Finish();

  void FillRect(Rect area, Cell fill) override;
  void ScrollUp(Rect area, Cell fill) override;
  bool PollEvent(KeyEvent& event) override { return input_.Next(event); }
  void WaitForEvent() override;
  bool InputEnded() override { return input_.Ended(); }
  void Sleep(uint32_t milliseconds) override;

 private:
  /// The last row of `area` that holds anything but blanks; area.top - 1 when none does.
  int LastRowWithText(Rect area) const;
  /// Writes the rows of `area` from its top to `last`, trailing blanks removed.
  void WriteRows(Rect area, int last);

  TerminalInput input_;
  int outputFd_;
  std::string text_;
};
