#include "PageCheck.h"

#include <gtest/gtest.h>

namespace {

constexpr int kIndexWidth = 4;

// Expects the characters from column `left` to `right` of row `y` but blanks in `colour`.
void ExpectForeground(const Screen& screen, int y, int left, int right, int colour) {
  for (int x = left; x <= right; ++x) {
    const ScreenCell& cell = screen.At(x, y);
    if (cell.character != U' ') {
      EXPECT_EQ(cell.foreground, colour) << "(" << x << ", " << y << ")";
    }
  }
}

}  // namespace

std::string TrimmedRow(const Screen& screen, int y) {
  std::string row = screen.RowText(y);
  row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

void ExpectRows(const Screen& screen, const std::vector<std::string>& rows) {
  for (int y = 1; y <= screen.Height(); ++y) {
    const size_t index = static_cast<size_t>(y - 1);
    EXPECT_EQ(TrimmedRow(screen, y), index < rows.size() ? rows[index] : "") << "row " << y;
  }
}

void ExpectPageBackground(const Screen& screen) {
  int wrong = 0;
  for (int y = 1; y <= screen.Height(); ++y)
    for (int x = 1; x <= screen.Width(); ++x)
      if (screen.At(x, y).background != kLightGray && wrong++ < 5)
        ADD_FAILURE() << "background " << screen.At(x, y).background << " at (" << x << ", " << y
                      << ")";
  EXPECT_EQ(wrong, 0) << "cells not on light gray";
}

void ExpectBlackText(const Screen& screen, int top, int bottom) {
  for (int y = top; y <= bottom; ++y) ExpectForeground(screen, y, 1, screen.Width(), kBlack);
}

void ExpectMatrixColours(const Screen& screen, int headerRow, int rowCount) {
  ExpectForeground(screen, headerRow, 1, screen.Width(), kDarkGray);
  for (int y = headerRow + 1; y <= headerRow + rowCount; ++y) {
    ExpectForeground(screen, y, 1, kIndexWidth, kDarkGray);
    ExpectForeground(screen, y, kIndexWidth + 1, screen.Width(), kBlack);
  }
}
