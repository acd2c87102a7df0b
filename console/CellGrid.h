// A grid of cells in memory with the console device's rectangle operations.
// Both devices keep their screen in one.
#pragma once

#include <string>
#include <vector>

#include "ConsoleDevice.h"

class CellGrid {
 public:
  CellGrid(int width, int height, Cell fill = Cell{});

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Contains(Point p) const { return p.x >= 1 && p.y >= 1 && p.x <= width_ && p.y <= height_; }

  const Cell& At(Point p) const { return cells_[Index(p)]; }
  Cell& At(Point p) { return cells_[Index(p)]; }

  /// Writes bytes from `at` along its row; cells beyond the grid are left out.
  void Write(Point at, std::string_view bytes, uint8_t attribute);
  /// Fills `area`, clipped to the grid.
  void Fill(Rect area, Cell fill);
  /// Moves the rows of `area` up by one; the bottom row of `area` becomes `fill`.
  void ScrollUp(Rect area, Cell fill);
  /// Changes the size, keeping the cells of the top-left part both sizes share.
  void Resize(int width, int height, Cell fill = Cell{});

  /// The bytes of row `y` from column `left` to `right`, for tests and transcripts.
  std::string RowText(int y, int left = 1, int right = 0) const;

 private:
  size_t Index(Point p) const { return static_cast<size_t>((p.y - 1) * width_ + (p.x - 1)); }
  Rect Clip(Rect area) const;

  int width_;
  int height_;
  std::vector<Cell> cells_;
};
