// The program running in a tmux pane of 80 by 25 cells, in a folder of its
// own, with standard error going to a file. After the program ends, the shell
// records its exit status and the terminal's modes and then holds the pane, so
// that the last screen can be read as the program left it.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "support/TempFolder.h"
#include "support/posix/TmuxSession.h"

using testing_support::Screen;
using testing_support::TempFolder;
using testing_support::TmuxSession;

class TerminalRun {
 public:
  /// Starts the program in `folder`, which must outlive the run.
  explicit TerminalRun(const TempFolder& folder);

  TmuxSession& Session() { return session_; }
  /// Waits until row `row` shows the file-name prompt, then types `name` and
  /// Enter; a failure showing the pane when the prompt does not come.
  ::testing::AssertionResult AnswerPrompt(int row, const std::string& name);
  /// Waits until row `row`, trailing blanks removed, reads `text`; a failure
  /// showing the pane on timeout.
  ::testing::AssertionResult WaitForRow(int row, const std::string& text);
  /// Waits for the program to end and returns its exit status; nothing on timeout.
  std::optional<int> WaitForEnd();
  /// Whether the program has ended.
  bool Ended() const;
  /// What the program wrote to standard error.
  std::string StandardError() const;
  /// `stty -a` of the pane's terminal, taken right after the program ended.
  std::string TerminalModesAfter() const;

 private:
  const TempFolder& folder_;
  TmuxSession session_;
};
