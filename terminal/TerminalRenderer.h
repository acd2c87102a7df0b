// The terminal renderer: the bytes that bring a terminal from what it shows to
// the grid the program wants. Pure: it keeps its own record of the terminal's
// cells (the shadow), of the colours and of the cursor position its bytes leave
// there, and only appends bytes to a string; the device writes them out. Only
// rows marked as changed are compared; the cursor takes the cheapest way
// there among the moves the terminal has; erasing stands in for blanks only on
// a terminal that fills what it clears with the current background colour, and
// a run of equal cells is sent as one cell and a repeat count where the
// terminal repeats. While the program waits, the cell under the cursor shows
// its colours: some terminals draw the cursor in the foreground of its cell.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "TerminalCapabilities.h"
#include "console/CellGrid.h"
#include "console/ConsoleDevice.h"

class TerminalRenderer {
 public:
  /// The longest cursor move FormatCursorMove writes.
  static constexpr int kMaxCursorMove = 16;

  /// A terminal of `width` by `height` cells showing text of its own, its
  /// cursor anywhere; nothing is drawn until cells are claimed. On a terminal
  /// that wraps at once, the bottom-right cell is only ever erased: writing
  /// it would scroll the screen.
  TerminalRenderer(int width, int height, TerminalCapabilities capabilities = {});

  int Width() const { return width_; }
  int Height() const { return height_; }

  /// Tells that the cells of `area` (clipped) changed in the wanted grid and
  /// hands them to the program: from now on they are drawn whenever the wanted
  /// grid differs from what they show, and once at least, even where the
  /// terminal's own text happens to match.
  void Claim(Rect area);
  /// Appends what draws every claimed cell of `wanted` that differs from the
  /// shadow, looking only at the rows claimed since the last call: the cheapest
  /// cursor move per run of changed cells, colours only when they change.
  void DrawCells(const CellGrid& wanted, std::string& out);
  /// Appends what gives the terminal its own colours back, unless it has them
  /// or they are unknown; the next DrawCells sets both colours again.
  void RestoreColours(std::string& out);
  /// Appends a cursor move to `cursor` (clipped to the screen) unless the
  /// terminal's cursor already stands there.
  void PlaceCursor(Point cursor, std::string& out);
  /// Where the cell under the terminal's cursor is a blank an erase left, in
  /// a foreground of the terminal's own, appends what writes it and puts the
  /// cursor back: a terminal may draw its cursor in the foreground of its
  /// cell, which can be the colour of the background.
  void ShowCursorCell(std::string& out);
  /// Appends what scrolls rows `top` to `bottom` of the whole width up one
  /// line; the shadow moves with them. The new bottom row is drawn again by
  /// the next DrawCells.
  void ScrollUp(int top, int bottom, std::string& out);

  /// Writes the cursor move to `position` into `out` (kMaxCursorMove bytes at
  /// most) and returns its length. Allocates nothing, so signal handlers may use it.
  static int FormatCursorMove(Point position, char* out);

 private:
  enum class SlotState : uint8_t {
    kForeign,  // shows the terminal's own text; the program has not claimed it
    kStale,    // claimed, its content on the terminal unknown: drawn next time
    kShown,    // shows `cell`
    kErased,   // shows `cell`, a blank an erase cleared: its foreground is the terminal's own
  };
  struct Slot {
    Cell cell;
    SlotState state = SlotState::kForeign;
  };
  /// The columns of a row claimed since the last DrawCells; empty when left > right.
  struct Span {
    int left = 1;
    int right = 0;
    bool Empty() const { return left > right; }
  };

  /// An erase that clears row `y` from column `from` to the end of the row
  /// or of the screen, in `blank`.
  struct ErasePlan {
    int from;
    bool toScreenEnd;
    uint8_t blank;
  };

  Slot& SlotAt(int x, int y) { return slots_[static_cast<size_t>((y - 1) * width_ + (x - 1))]; }
  const Slot& SlotAt(int x, int y) const {
    return slots_[static_cast<size_t>((y - 1) * width_ + (x - 1))];
  }
  /// How many cells of row `y` from `from` to `to` need drawing.
  int ChangedCells(const CellGrid& wanted, int y, int from, int to) const;
  /// The erase that draws the claimed cells of row `y` cheaper than blanks,
  /// if any (from kNoErase): the rows from `blankBottom` down are claimed
  /// blanks in `bottomBlank`, which an erase to the end of the screen may take along.
  ErasePlan PlanErase(const CellGrid& wanted, int y, int blankBottom, uint8_t bottomBlank);
  bool NeedsDrawing(const Slot& slot, const Cell& cell) const;
  /// Whether the slot shows its cell (written or erased).
  static bool Shows(const Slot& slot) {
    return slot.state == SlotState::kShown || slot.state == SlotState::kErased;
  }
  /// Whether writing cell `x` of row `y` would scroll the terminal.
  bool WritingScrolls(int x, int y) const {
    return x == width_ && y == height_ && capabilities_.rightMargin == RightMargin::kWrapsAtOnce;
  }
  /// The first column from which row `y` of `wanted` is blanks of one colour
  /// to its end, all claimed (width + 1 when none); their attribute in `blank`.
  int BlankTail(const CellGrid& wanted, int y, uint8_t& blank);
  /// Erases from the first cell of row `y` at or after column `from` that
  /// needs it, to the end of the row (EL) or of the screen (ED), in `blank`.
  void Erase(const CellGrid& wanted, int y, int from, bool toScreenEnd, uint8_t blank,
             std::string& out);
  void DrawCell(int x, int y, const Cell& cell, std::string& out);
  /// Where the terminal's cursor stands once column `x` of row `y` is written.
  void Written(int x, int y);
  /// The last column up to `last` of a run from cell `x` of row `y` that
  /// needs drawing, among the claimed cells that look like `x` in `wanted`.
  int RunEnd(const CellGrid& wanted, int x, int y, int last) const;
  /// Right after cell `x` of row `y` was drawn, draws the cells up to column
  /// `last` that need drawing and look the same, with one repeat where that is
  /// shorter than their glyphs; returns the last column drawn.
  int RepeatCell(const CellGrid& wanted, int x, int y, int last, std::string& out);
  /// Appends the cheapest bytes that take the terminal's cursor to `target`.
  void MoveCursor(Point target, std::string& out);
  /// The bytes that take the cursor along row `row` from column `from` to
  /// `to`: a return, a step or rewriting up to three cells already shown;
  /// nothing where the terminal has no way.
  std::optional<std::string> AlongRow(int row, int from, int to);
  void AppendAttribute(uint8_t attribute, std::string& out);
  /// The bytes `sequence` puts on the wire.
  size_t WireLength(std::string_view sequence) const;

  static constexpr int kUnknownAttribute = -1;
  // The terminal's own colours, with the rest of the rendition reset.
  static constexpr int kOwnColours = -2;
  static constexpr int kNoErase = 1 << 30;
  static constexpr Point kUnknownCursor{0, 0};

  int width_;
  int height_;
  TerminalCapabilities capabilities_;
  std::vector<Slot> slots_;
  std::vector<Span> claimed_;  // per row
  int shownAttribute_ = kUnknownAttribute;
  Point terminalCursor_ = kUnknownCursor;
  // The cursor stands on the last column, waiting to wrap: where it goes next
  // differs between terminals, except on CR or an absolute move.
  bool pendingWrap_ = false;
};
