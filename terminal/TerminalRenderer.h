// The terminal renderer: the bytes that bring a terminal from what it shows to
// the grid the program wants. Pure: it keeps its own record of the terminal's
// cells (the shadow), of the colours and of the cursor position its bytes leave
// there, and only appends bytes to a string; the device writes them out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "console/CellGrid.h"
#include "console/ConsoleDevice.h"

class TerminalRenderer {
 public:
  /// The longest cursor move FormatCursorMove writes.
  static constexpr int kMaxCursorMove = 16;

  /// A terminal of `width` by `height` cells showing text of its own, its
  /// cursor anywhere; nothing is drawn until cells are claimed.
  TerminalRenderer(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }

  /// Hands the cells of `area` (clipped) to the program: from now on they are
  /// drawn whenever the wanted grid differs from what they show, and once at
  /// least, even where the terminal's own text happens to match.
  void Claim(Rect area);
  /// Appends what draws every claimed cell of `wanted` that differs from the
  /// shadow: one cursor move per run of changed cells, colours only when they change.
  void DrawCells(const CellGrid& wanted, std::string& out);
  /// Appends what gives the terminal its own colours back, unless it has them;
  /// the next DrawCells sets the colours afresh.
  void RestoreColours(std::string& out);
  /// Appends a cursor move to `cursor` (clipped to the screen) unless the
  /// terminal's cursor already stands there.
  void PlaceCursor(Point cursor, std::string& out);
  /// Appends what scrolls rows `top` to `bottom` of the whole width up one line
  /// with the terminal's scroll region; the shadow moves with them and the new
  /// bottom row is drawn again by the next DrawCells.
  void ScrollUp(int top, int bottom, std::string& out);
  /// Forgets what the terminal shows, at a new size: no cell is claimed, the
  /// next DrawCells sets the colours afresh, the next PlaceCursor always moves.
  void Reset(int width, int height);

  /// Writes the cursor move to `position` into `out` (kMaxCursorMove bytes at
  /// most) and returns its length. Allocates nothing, so signal handlers may use it.
  static int FormatCursorMove(Point position, char* out);

 private:
  enum class SlotState : uint8_t {
    kForeign,  // shows the terminal's own text; the program has not claimed it
    kStale,    // claimed, its content on the terminal unknown: drawn next time
    kShown,    // shows `cell`
  };
  struct Slot {
    Cell cell;
    SlotState state = SlotState::kForeign;
  };

  Slot& SlotAt(int x, int y) { return slots_[static_cast<size_t>((y - 1) * width_ + (x - 1))]; }
  void AppendAttribute(uint8_t attribute, std::string& out);

  static constexpr int kUnknownAttribute = -1;
  static constexpr Point kUnknownCursor{0, 0};

  int width_;
  int height_;
  std::vector<Slot> slots_;
  int shownAttribute_ = kUnknownAttribute;
  Point terminalCursor_ = kUnknownCursor;
};
