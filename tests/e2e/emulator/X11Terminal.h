// The program in a real terminal emulator (kitty, xterm, rxvt-unicode, st,
// sakura, alacritty, mlterm, or GNU screen inside xterm), or its Windows build
// in wine's console window, on a virtual X display of its own (Xvfb): keys go
// in as X key events through the XTEST extension (xdotool), as a keyboard's
// would, in the keyboard layout the test chooses; the screen is read back as
// the emulator shows it (kitty's remote control, xterm's print-immediate, the
// console's cells) where it can be, and as the window's pixels (ImageMagick's
// import) in every one, its cursor steady. In a terminal, the shell first puts the keypad into
// application mode, as some shells and pagers leave it; before and after the
// program it keeps the terminal's settings and the terminal's answers to
// DECRQM for the modes the program changes, and after it reads one line, which
// tells whether the terminal was handed back with its keys as they were.
// wine's console runs the Windows build that RESZMATRIX_WINDOWS_BUILD names,
// in the wine prefix that WINEPREFIX names.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"
#include "support/posix/TmuxSession.h"

using testing_support::TempFolder;

enum class Emulator {
  kKitty,
  kXterm,
  kUrxvt,
  kSt,
  kSakura,
  kAlacritty,
  kMlterm,
  kScreen,
  kWineConsole
};

/// A window's pixels, three bytes (red, green, blue) each, row by row.
struct Picture {
  int width = 0;
  int height = 0;
  std::string rgb;
  friend bool operator==(const Picture&, const Picture&) = default;
};

/// The emulator's name, for test names: "kitty", "xterm", "urxvt", ...
std::string EmulatorName(Emulator emulator);

class X11Terminal {
 public:
  /// Why `emulator` cannot run here (a missing program, no X server); empty when it can.
  static std::string Missing(Emulator emulator);

  /// Starts the program in `emulator`, 80 by 25 cells, in `folder`, which must
  /// outlive the run, with the X keyboard layout `layout` ("us", "hu"), and
  /// TERM set to `term` for it (empty: as the terminal sets it).
  X11Terminal(Emulator emulator, const TempFolder& folder, const std::string& layout,
              const std::string& term = "");

  /// Whether the window came up and has the keyboard.
  bool Started() const { return started_; }
  /// Presses and releases the keys xdotool names ("Left", "shift+6", "KP_6",
  /// or a key code: "85"), one after the other.
  void Key(const std::vector<std::string>& keys);
  /// Holds `modifier` down ("alt") while `keys` are pressed, then lets it go.
  void KeyWith(const std::string& modifier, const std::vector<std::string>& keys);
  /// Types `text` (UTF-8) as the layout's keys for its characters.
  void Type(const std::string& text);

  /// Row `row` (1-based) as the terminal shows it, trailing blanks removed
  /// (kitty, xterm and wine's console; empty for the others).
  std::string Row(int row);
  /// Waits until row `row` (1-based) reads `text`; false on timeout.
  bool WaitForRow(int row, const std::string& text);
  /// The screen as text, for failure messages.
  std::string Text();
  /// The screen's cells with their colours, as kitty shows them (kitty only).
  testing_support::Screen KittyCells();
  /// The window's pixels once they have stayed the same for a moment and
  /// differ from `before` (nothing: from anything); empty on timeout.
  Picture SettledPicture(const Picture& before = {});

  /// Waits for the program to end and gives its exit status; nothing on timeout.
  std::optional<int> WaitForEnd();
  /// Waits until the shell is about to start the program; false on timeout (terminals).
  bool WaitForProgramStart();
  /// The terminal's settings (stty -g) before the program started and after it
  /// ended (terminals).
  std::string ModesBefore() const { return folder_.Read("modes-before"); }
  std::string ModesAfter() const { return folder_.Read("modes-after"); }
  /// The terminal's answers to DECRQM for the keypad (66), the cursor keys (1)
  /// and win32-input-mode (9001), then to the device attributes, before the
  /// program and after it; the terminal answers what it knows (terminals).
  std::string AnswersBefore() const { return folder_.Read("answers-before"); }
  std::string AnswersAfter() const { return folder_.Read("answers-after"); }
  /// The line the shell read after the program ended, once the test has typed
  /// it (terminals); nothing on timeout.
  std::optional<std::string> LineAfterEnd();

 private:
  /// Runs xdotool with `arguments` and gives what it prints.
  std::string Run(const std::string& arguments) const;
  /// The rows the terminal shows, trailing blanks removed.
  std::vector<std::string> Rows();
  /// xterm's screen, printed to a file by its print-immediate action.
  std::vector<std::string> PrintedRows();
  /// The window of the program's console, read by a Windows program under wine.
  std::vector<std::string> ConsoleRows() const;
  /// What kitty's remote control prints of the screen with `options` to get-text.
  std::string KittyText(const std::string& options) const;
  /// The window's pixels now.
  Picture TakePicture() const;

  Emulator emulator_;
  const TempFolder& folder_;
  std::string socket_;
  testing_support::ChildProcess terminal_;
  std::string window_;
  bool started_ = false;
};
