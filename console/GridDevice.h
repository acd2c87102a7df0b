// The screen half of a console device kept in memory: a grid of cells, the
// cursor and the console's own attribute. The devices
// that keep their screen in memory build on it and add their input and time.
#pragma once

#include "CellGrid.h"
#include "ConsoleDevice.h"

class GridDevice : public ConsoleDevice {
 public:
  explicit GridDevice(int width = kStandardWidth, int height = kStandardHeight,
                      uint8_t attribute = kNormalAttribute)
      : grid_(width, height, Cell{' ', attribute}), attribute_(attribute) {}

  CellGrid& Grid() { return grid_; }
  const CellGrid& Grid() const { return grid_; }

  Point GridSize() override { return {grid_.Width(), grid_.Height()}; }
  Rect VisibleArea() override { return {1, 1, grid_.Width(), grid_.Height()}; }
  uint8_t CurrentAttribute() override { return attribute_; }
  Point Cursor() override { return cursor_; }
  void SetCursor(Point position) override { cursor_ = position; }
  void WriteCells(Point at, std::string_view bytes, uint8_t attribute) override {
    grid_.Write(at, bytes, attribute);
  }
  void FillRect(Rect area, Cell fill) override { grid_.Fill(area, fill); }
  void ScrollUp(Rect area, Cell fill) override { grid_.ScrollUp(area, fill); }

 private:
  CellGrid grid_;
  uint8_t attribute_;
  Point cursor_{1, 1};
};
