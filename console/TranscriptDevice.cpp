#include "TranscriptDevice.h"

#include "Glyphs.h"

int TranscriptDevice::LastRowWithText(Rect area) const {
  int last = area.bottom;
  while (last >= area.top &&
         Grid().RowText(last, area.left, area.right).find_first_not_of(' ') == std::string::npos)
    --last;
  return last;
}

void TranscriptDevice::WriteRows(Rect area, int last) {
  text_.clear();
  for (int y = area.top; y <= last; ++y) {
    std::string row = Grid().RowText(y, area.left, area.right);
    row.erase(row.find_last_not_of(' ') + 1);
    for (char byte : row) text_ += CellGlyph(static_cast<uint8_t>(byte));
    text_ += '\n';
  }
  if (!text_.empty()) WriteText(text_);
}

void TranscriptDevice::FillRect(Rect area, Cell fill) {
  WriteRows(area, LastRowWithText(area));
  GridDevice::FillRect(area, fill);
}

void TranscriptDevice::ScrollUp(Rect area, Cell fill) {
  // The top row leaves the window: it is written out even when it is empty.
  WriteRows(area, area.top);
  GridDevice::ScrollUp(area, fill);
}

void TranscriptDevice::Finish() {
  const Rect screen{1, 1, Grid().Width(), Grid().Height()};
  WriteRows(screen, LastRowWithText(screen));
}
