// The device for runs with no screen to draw on. The screen is kept in memory,
// and what a person would have read leaves as plain UTF-8 text, one line per
// row with its trailing blanks removed: every row of the window as it scrolls
// off the top, every page when it is cleared (its rows up to the last one that
// holds anything), and the last screen at the end. Where the text goes, and
// where keys and time come from, each platform's transcript device says.
#pragma once

#include <string>
#include <string_view>

#include "GridDevice.h"

class TranscriptDevice : public GridDevice {
 public:
  /// Writes the last screen; called once at the end of the run.
  void Finish();

  void FillRect(Rect area, Cell fill) override;
  void ScrollUp(Rect area, Cell fill) override;
  void Present() override {}

 protected:
  /// Sends a part of the transcript on its way. The transcript is a record of
  /// the screen: a reader that went away does not end the run.
  virtual void WriteText(std::string_view text) = 0;

 private:
  /// The last row of `area` that holds anything but blanks; area.top - 1 when none does.
  int LastRowWithText(Rect area) const;
  /// Writes the rows of `area` from its top to `last`, trailing blanks removed.
  void WriteRows(Rect area, int last);

  std::string text_;
};
