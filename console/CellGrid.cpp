#include "CellGrid.h"

#include <algorithm>
#include <string>

CellGrid::CellGrid(int width, int height, Cell fill)
    : width_(width), height_(height), cells_(static_cast<size_t>(width * height), fill) {}

Rect CellGrid::Clip(Rect area) const {
  return Rect{std::max(area.left, 1), std::max(area.top, 1), std::min(area.right, width_),
              std::min(area.bottom, height_)};
}

void CellGrid::Write(Point at, std::string_view bytes, uint8_t attribute) {
  if (at.y < 1 || at.y > height_) return;
  for (char byte : bytes) {
    if (at.x >= 1 && at.x <= width_) At(at) = Cell{static_cast<uint8_t>(byte), attribute};
    ++at.x;
  }
}

void CellGrid::Fill(Rect area, Cell fill) {
  const Rect clip = Clip(area);
  for (int y = clip.top; y <= clip.bottom; ++y)
    for (int x = clip.left; x <= clip.right; ++x) At({x, y}) = fill;
}

void CellGrid::ScrollUp(Rect area, Cell fill) {
  const Rect clip = Clip(area);
  if (clip.left > clip.right || clip.top > clip.bottom) return;
  for (int y = clip.top; y < clip.bottom; ++y)
    for (int x = clip.left; x <= clip.right; ++x) At({x, y}) = At({x, y + 1});
  Fill(Rect{clip.left, clip.bottom, clip.right, clip.bottom}, fill);
}

void CellGrid::Resize(int width, int height, Cell fill) {
  std::vector<Cell> cells(static_cast<size_t>(width * height), fill);
  for (int y = 1; y <= std::min(height, height_); ++y)
    for (int x = 1; x <= std::min(width, width_); ++x)
      cells[static_cast<size_t>((y - 1) * width + (x - 1))] = At({x, y});
  width_ = width;
  height_ = height;
  cells_ = std::move(cells);
}

std::string CellGrid::RowText(int y, int left, int right) const {
  if (right == 0) right = width_;
  std::string text;
  for (int x = left; x <= right; ++x) text += static_cast<char>(At({x, y}).character);
  return text;
}
