// A program run by a test as a child process: its standard streams on pipes or
// (on POSIX) on a pseudo-terminal of its own, its output read and kept, every
// wait bounded by a time limit, and its exit status. A child still running when
// the object goes is ended together with every process it started.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#if !defined(_WIN32)
#include <sys/types.h>
#include <termios.h>
#endif

namespace testing_support {

enum class ChildStreams {
  kOutput,  // standard output read by the test; input and errors on the null device
  kErrors,  // standard error read by the test; input and output on the null device
  // Interactive: on POSIX all three on a new pseudo-terminal of 80 by 25
  // cells, TERM=xterm-256color; on Windows the test's own console, input on a
  // pipe from the test, output and errors together on the pipe the test reads.
  kTerminal,
};

/// The exit status a child that ends with `code` is seen to give: POSIX keeps
/// its low byte, Windows all of it.
constexpr int ExitStatusFor(int code) {
#if defined(_WIN32)
  return code;
#else
  return code & 0xFF;
#endif
}

#if defined(_WIN32)
using ProcessId = uint32_t;
#else
using ProcessId = pid_t;
#endif

class ChildProcess {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kTimeLimit{10000};

  /// Starts `arguments` (the program first, looked up on PATH) in `folder` (empty: this one).
  ChildProcess(const std::vector<std::string>& arguments, ChildStreams streams,
               const std::string& folder = {});
  virtual ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  ProcessId Pid() const { return pid_; }
  Clock::time_point StartTime() const { return started_; }
  /// All the child has written to the stream the test reads, so far.
  const std::string& Output() const { return output_; }
#if !defined(_WIN32)
  /// The settings the pseudo-terminal started with, and as they stand.
  const termios& InitialSettings() const;
  termios Settings() const;
  /// Whether the settings that matter to keys are those the terminal started with.
  bool SettingsRestored() const;
  /// Gives the terminal the settings it started with, as a shell does when a job stops.
  void RestoreSettings() const;
  /// Gives the terminal a new size, as a window's resize does; the child gets SIGWINCH.
  void Resize(int columns, int rows) const;
#endif

  /// Writes `bytes` to the child's terminal or input; false when they are not all written.
  bool Send(std::string_view bytes);
  /// Ctrl+C typed at the child's terminal or console; false when it cannot be.
  bool Interrupt();
  /// Reads and keeps the output for `duration`.
  void Drain(std::chrono::milliseconds duration);
  /// Reads the output until `done` holds; false when `limit` runs out first.
  bool ReadUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = kTimeLimit);
  /// Reads the output until the child ends; its exit status, or nothing when
  /// a signal ended it or it still runs after `limit`.
  std::optional<int> WaitExit(std::chrono::milliseconds limit = kTimeLimit);
#if !defined(_WIN32)
  /// Reads the output until the child stops; false when it has not after `limit`.
  bool WaitStopped(std::chrono::milliseconds limit = kTimeLimit);
  /// What is left in the terminal's input for whoever reads it after the
  /// child; call after the child has ended.
  std::string UnreadInput();
#endif

 protected:
  /// Called after each piece of output is added to Output().
  virtual void OnOutput() {}

 private:
  /// Waits up to `wait` for output and reads one piece; false once the stream has closed.
  bool ReadPiece(std::chrono::milliseconds wait);

  std::string output_;
  bool open_ = true;
  ProcessId pid_ = 0;
  bool reaped_ = false;
  Clock::time_point started_;
#if defined(_WIN32)
  // The child's process, its job and its pipes.
  struct Handles;
  std::unique_ptr<Handles> handles_;
#else
  termios settings_{};
  int fd_ = -1;
  int terminal_ = -1;  // the child's side, held open so that input it leaves stays readable
#endif
};

struct ChildRun {
  std::string output;
  std::optional<int> status;
};

/// Runs `arguments` to their end, killed after `limit`: the output and the exit status.
ChildRun RunChild(const std::vector<std::string>& arguments, ChildStreams streams,
                  const std::string& folder = {},
                  std::chrono::milliseconds limit = ChildProcess::kTimeLimit);

}  // namespace testing_support
