// The one owner of what the program changes on its terminal and in the
// process for it: the terminal's settings, the modes switched on and off by
// control sequences, and signal handlers. Each change is recorded with its undo
// before it is made; the undos run in reverse order on every way out, from a
// signal handler too, and a stopped program gives the terminal back and takes
// it again when it continues.
#pragma once

#include <signal.h>
#include <termios.h>

#include <atomic>
#include <string_view>

class TerminalState {
 public:
  /// Changes made to the terminal on `inputFd` (settings) and `outputFd` (sequences).
  TerminalState(int inputFd, int outputFd) : inputFd_(inputFd), outputFd_(outputFd) {}
  TerminalState(const TerminalState&) = delete;
  TerminalState& operator=(const TerminalState&) = delete;

  /// Records the settings `inputFd` has now, then sets what `change` makes of
  /// them; false, with nothing changed, when they cannot be read.
  bool ChangeSettings(termios (*change)(termios));
  /// Records `off` as the undo of `on` and then sends `on`; both must live as
  /// long as the program. An empty `on` only records what sets a default back.
  void Switch(std::string_view on, std::string_view off);
  /// Records the handler `signal` has and then installs `action`.
  void Handle(int signal, const struct sigaction& action);

  /// Whether the terminal's changes are in effect.
  bool Held() const { return held_; }
  /// Undoes the terminal's changes in reverse order; the handlers stay.
  /// Async-signal-safe; does nothing when the terminal is not held.
  void Release();
  /// Makes the terminal's changes again, in the order first made.
  void Retake();
  /// Undoes everything in reverse order, the handlers too; later calls and
  /// changes do nothing. Async-signal-safe.
  void Restore();

 private:
  enum class Kind { kSettings, kSequence, kHandler };
  struct Change {
    Kind kind;
    std::string_view on;
    std::string_view off;
    int signal;
    struct sigaction previous;
  };
  static constexpr int kMaxChanges = 8;

  /// Reserves the next record, or null when all are taken or the state is restored.
  Change* Record(Kind kind);
  /// Undoes the terminal's changes (and the handlers when `handlersToo`) in reverse.
  void Undo(bool handlersToo);

  int inputFd_;
  int outputFd_;
  termios savedSettings_{};
  termios changedSettings_{};
  Change changes_[kMaxChanges]{};
  std::atomic<int> changeCount_ = 0;
  std::atomic<bool> held_ = true;
  std::atomic<bool> restored_ = false;
};
