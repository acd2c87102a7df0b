// The key_codes program on a pseudo-terminal of its own, 80 by 25 cells with
// TERM=xterm-256color and the settings a new pseudo-terminal gets. The test
// plays the terminal's other side: it types bytes, reads and keeps all the
// program writes, and reads back the codes the program has written to a file.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

class PtyProgram {
 public:
  using Clock = std::chrono::steady_clock;

  /// Starts key_codes with its codes file and then `arguments`.
  explicit PtyProgram(const std::vector<std::string>& arguments);
  virtual ~PtyProgram();
  PtyProgram(const PtyProgram&) = delete;
  PtyProgram& operator=(const PtyProgram&) = delete;

  bool Started() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }
  /// The settings the terminal started with.
  const termios& InitialSettings() const { return settings_; }
  /// The terminal's settings as they stand.
  termios Settings() const;
  /// Whether the settings that matter to keys are those the terminal started with.
  bool SettingsRestored() const;
  /// Gives the terminal the settings it started with, as a shell does when a job stops.
  void RestoreSettings() const;
  /// All the program has written to the terminal so far.
  const std::string& Output() const { return output_; }
  /// How long the program took from its start to being ready for keys.
  Clock::duration StartUp() const { return ready_ - started_; }

  /// Reads the output until the program is ready for keys; false after 5 seconds.
  bool WaitReady();
  /// Writes `bytes` to the program's terminal; false when they are not all written.
  bool Send(std::string_view bytes);
  /// Sends `bytes` as the terminal would for one key, then reads the output for `pause`.
  void Type(std::string_view bytes,
            std::chrono::milliseconds pause = std::chrono::milliseconds(60));
  /// Reads and keeps the program's output for `duration`.
  void Drain(std::chrono::milliseconds duration);
  /// Waits up to 5 seconds for the program to end; its exit status, or -1.
  int WaitExit();
  /// Waits up to 5 seconds for the program to stop; false when it does not.
  bool WaitStopped();
  /// What is left in the terminal's input for whoever reads it after the
  /// program; call after the program has ended.
  std::string UnreadInput();
  /// The codes the program has written so far.
  std::vector<int> Codes() const;

 protected:
  /// Called after each piece of output is added to Output().
  virtual void OnOutput() {}

 private:
  bool ReadyLine() const;

  std::string codesPath_;
  termios settings_{};
  std::string output_;
  int master_ = -1;
  int slave_ = -1;  // held open, so that input the program leaves stays readable
  pid_t pid_ = -1;
  bool exited_ = false;
  Clock::time_point started_;
  Clock::time_point ready_;
};
