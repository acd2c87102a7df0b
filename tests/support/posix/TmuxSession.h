// A program running in a tmux pane, for end-to-end tests: starts it on a
// private tmux server, types keys, waits for text, and reads the pane back as
// cells with their characters and colours, its cursor and the exit status.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/TempFolder.h"

namespace testing_support {

/// A cell's colour as the terminal shows it: kDefaultColour, 0-7 for the
/// eight colours, 8-15 for their bright forms, 16-255 for the palette, or
/// kDirectColour plus the 24-bit RGB value.
inline constexpr int kDefaultColour = -1;
inline constexpr int kDirectColour = 0x1000000;

struct ScreenCell {
  char32_t character = U' ';
  int foreground = kDefaultColour;
  int background = kDefaultColour;
  friend bool operator==(const ScreenCell&, const ScreenCell&) = default;
};

/// The cells of a pane; positions are 1-based columns and rows.
class Screen {
 public:
  Screen(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  const ScreenCell& At(int x, int y) const;
  ScreenCell& At(int x, int y);
  /// The characters of row `y` from column `left` to `right` (0: the last), as UTF-8.
  std::string RowText(int y, int left = 1, int right = 0) const;

 private:
  int width_;
  int height_;
  std::vector<ScreenCell> cells_;
};

/// Parses the output of `capture-pane -p -e` into the cells of a pane.
Screen ParseCapture(std::string_view capture, int width, int height);

/// Whether the output of `stty -a` lists `setting` as a word of its own.
bool HasSetting(const std::string& modes, const std::string& setting);

class TmuxSession {
 public:
  /// Starts `command` (run by the shell) in a detached pane of `width` by
  /// `height` cells on a server of its own; the pane stays after the command
  /// ends (and then tmux scrolls its screen up one line for its own notice).
  explicit TmuxSession(const std::string& command, int width = 80, int height = 25);
  /// Kills the server and whatever still runs in it.
  ~TmuxSession();
  TmuxSession(const TmuxSession&) = delete;
  TmuxSession& operator=(const TmuxSession&) = delete;

  /// Types keys by tmux's key names ("Enter", "Escape", "C-c", "x").
  void SendKeys(const std::vector<std::string>& keys);
  /// Types `text` literally.
  void SendText(const std::string& text);
  /// Sends raw bytes, as a terminal would for a key.
  void SendBytes(std::string_view bytes);

  /// Polls the pane until its text contains `utf8`; false when `timeout` runs out first.
  bool WaitForText(std::string_view utf8,
                   std::chrono::milliseconds timeout = std::chrono::seconds(10));
  /// Polls the pane until `done` holds for its cells; false when `timeout` runs out first.
  bool WaitForScreen(const std::function<bool(const Screen&)>& done,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10));
  /// Polls until the command has ended and returns its exit status; nothing on timeout.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(10));

  /// The pane's text, rows separated by newlines.
  std::string Text();
  /// The pane's cells with their colours.
  Screen Capture();
  /// The pane's cursor, 1-based column and row.
  std::pair<int, int> Cursor();
  /// The path of the pane's terminal device.
  std::string TerminalPath();
  /// Changes the pane's size; the program in it sees a resize.
  void Resize(int width, int height);

  /// Runs a tmux command on this session's server and returns its output;
  /// an empty string when it fails.
  std::string Tmux(const std::vector<std::string>& arguments);

 private:
  std::string Display(const std::string& format);

  std::string socket_;
  TempFolder statusFolder_;
  int width_;
  int height_;
};

}  // namespace testing_support
