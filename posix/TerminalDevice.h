// The terminal device: the console device on a POSIX terminal. Cells are kept
// in a grid and drawn at each Present, only where they changed, in one write,
// with what the terminal's description declares; keys come from the terminal's
// input bytes; a resize redraws the whole screen. Start puts the terminal into
// the mode the keyboard needs and Shutdown, safe inside a signal handler, puts
// it back; a stop (SIGTSTP) gives the terminal back and a continue takes it
// again and redraws the screen.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "TerminalInput.h"
#include "TerminalState.h"
#include "Terminfo.h"
#include "console/CellGrid.h"
#include "console/ConsoleDevice.h"
#include "terminal/TerminalRenderer.h"

class TerminalDevice : public ConsoleDevice {
 public:
  /// A device reading keys from `inputFd` and drawing on `outputFd`, a
  /// terminal as `description` has it; touches neither until Start.
  TerminalDevice(int inputFd, int outputFd, TerminalDescription description = {});
  ~TerminalDevice() override { Shutdown(); }
  TerminalDevice(const TerminalDevice&) = delete;
  TerminalDevice& operator=(const TerminalDevice&) = delete;

  /// The grid's bound, as a console's screen buffer has one: a terminal that
  /// reports more columns or rows is drawn within its first 1024 of each, at
  /// start-up and after every resize.
  static constexpr int kMaxGridWidth = 1024;
  static constexpr int kMaxGridHeight = 1024;

  /// Takes the terminal's size and sets its modes: keys unechoed and unbuffered,
  /// Ctrl+S, Ctrl+Q, Ctrl+Z and Ctrl+\ as keys, the keypad in application mode,
  /// and full key events (releases, lone modifiers) where the terminal offers
  /// them. The terminal is asked here, without waiting, for what it offers and
  /// for the keypad's mode; the modes are set once it has answered, during a
  /// Sleep or a wait for a key, or at once where it is not asked.
  /// On an output that is no terminal, the grid is 80 by 25 and no mode is set.
  /// Nothing is drawn: the screen stays as it is until cells are written.
  void Start();
  /// Writes what is already prepared for the terminal, takes the releases of
  /// keys still held, then undoes every change Start made in reverse: colours,
  /// the keypad's mode (as the terminal said it found it, else numeric), full
  /// key events, signal handlers, the terminal's settings;
  /// the last screen and the cursor stay; later Presents send nothing.
  /// Async-signal-safe; does nothing after the first call.
  void Shutdown();

  /// The cells the program wants shown.
  const CellGrid& Grid() const { return grid_; }

  Point GridSize() override;
  Rect VisibleArea() override;
  /// Light gray on black: a terminal cannot tell the colours it is using.
  uint8_t CurrentAttribute() override { return kNormalAttribute; }
  Point Cursor() override { return cursor_; }
  void SetCursor(Point position) override { cursor_ = position; }
  void WriteCells(Point at, std::string_view bytes, uint8_t attribute) override;
  void FillRect(Rect area, Cell fill) override;
  void ScrollUp(Rect area, Cell fill) override;
  void Present() override;
  bool PollEvent(KeyEvent& event) override {
    TakeAnswers();
    return input_.Next(event);
  }
  void WaitForEvent() override;
  bool InputEnded() override { return input_.Ended(); }
  void Sleep(uint32_t milliseconds) override;

 private:
  /// Sets the terminal's modes and signal handlers and asks for full key
  /// events; false when the keys do not come from a terminal in raw mode.
  bool TakeTerminal();
  /// Takes what the terminal's signals asked: a stop gives the terminal back
  /// and stops the process; a continue takes the terminal again; after either
  /// a continue or a resize the whole screen is drawn again.
  void TakeSignals();
  /// Takes the terminal's size, growing the grid to it, and draws every cell
  /// the program has drawn again at the next Present, by the capabilities.
  void RedrawAll();
  /// Takes the start-up answers that have arrived; once they are all in, sets
  /// the modes they chose and draws by what the terminal has shown it has.
  void TakeAnswers();
  /// Hands `area` to the renderer and remembers its cells as drawn by the program.
  void Claim(Rect area);
  /// Whether the program has drawn cell `p` of a grid `width` cells wide.
  bool Drawn(Point p, int width) const {
    return drawn_[static_cast<size_t>((p.y - 1) * width + p.x - 1)];
  }
  /// While the program waits: shows the cell under the cursor in its colours,
  /// and gives the terminal its own colours back, so that what it paints by
  /// itself then (the cells a resize adds, text after a kill) is in them.
  void IdleInOwnColours();
  /// Sleeps until `timeout` milliseconds have passed (-1: no limit), a signal
  /// for the terminal has come or, when `untilInput`, input has arrived.
  void Doze(int timeout, bool untilInput);
  /// Writes the bytes prepared in pending_ and empties it.
  void WritePending();

  int inputFd_;
  int outputFd_;
  // Whether the terminal is asked for full key events and its keypad's mode.
  bool asksTerminal_;
  TerminalInput input_;
  CellGrid grid_;
  TerminalRenderer renderer_;
  // What the renderer may rely on, by the description and then the answers.
  TerminalCapabilities capabilities_;
  Point cursor_{1, 1};
  // Where the last Present left the terminal's cursor; at first where the shell left it, unknown.
  Point placedCursor_{0, 0};
  std::vector<bool> drawn_;  // per grid cell: drawn by the program
  TerminalState state_;
  // Bytes prepared for the terminal. A signal handler's Shutdown writes what
  // is left of them unless they are being changed just then.
  std::string pending_;
  std::atomic<size_t> pendingWritten_ = 0;
  std::atomic<bool> pendingChanging_ = false;
  std::atomic<bool> started_ = false;
};
