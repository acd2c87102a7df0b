#include "Crt.h"

namespace {

Rect WindowRect() {
  return Rect{static_cast<int>(WindMinX), static_cast<int>(WindMinY), static_cast<int>(WindMaxX),
              static_cast<int>(WindMaxY)};
}

// The wrap and scroll that follow every byte: past the right edge to the start
// of the next row, and below the bottom the window scrolls up.
void KeepInWindow(Point& cursor) {
  if (cursor.x > static_cast<int>(WindMaxX)) {
    cursor.x = static_cast<int>(WindMinX);
    ++cursor.y;
  }
  while (cursor.y > static_cast<int>(WindMaxY)) {
    CrtDevice().ScrollUp(WindowRect(), Cell{' ', TextAttr});
    --cursor.y;
  }
}

bool IsControlByte(char byte) {
  return byte == 7 || byte == 8 || byte == 10 || byte == 13;
}

// The four bytes that move the cursor instead of filling a cell.
void WriteChar(Point& cursor, uint8_t byte) {
  switch (byte) {
    case 7:  // bell: no sound, nothing written
      break;
    case 8:  // backspace: left, without erasing, not past the window's left column
      if (cursor.x > static_cast<int>(WindMinX)) --cursor.x;
      break;
    case 10:  // line feed: straight down
      ++cursor.y;
      break;
    case 13:  // carriage return: to the window's left column
      cursor.x = static_cast<int>(WindMinX);
      break;
  }
  KeepInWindow(cursor);
}

// Places the leading ordinary bytes of `bytes` that fit before the window's
// right edge into cells, in one device call (the same as placing them one by
// one), wraps or scrolls after them, and returns how many were placed.
size_t PlaceRun(Point& cursor, std::string_view bytes) {
  size_t run = 1;
  if (cursor.x >= static_cast<int>(WindMinX) && cursor.x <= static_cast<int>(WindMaxX)) {
    const size_t room = WindMaxX - static_cast<uint32_t>(cursor.x) + 1;
    while (run < bytes.size() && run < room && !IsControlByte(bytes[run])) ++run;
  }
  CrtDevice().WriteCells(cursor, bytes.substr(0, run), TextAttr);
  cursor.x += static_cast<int>(run);
  KeepInWindow(cursor);
  return run;
}

}  // namespace

void TextColor(uint8_t color) {
  TextAttr = (TextAttr & 0x70) | (color & 0x8F);
}

void TextBackground(uint8_t color) {
  TextAttr = static_cast<uint8_t>((TextAttr & 0x8F) | ((color & 7) << 4));
}

void HighVideo() {
  TextColor(TextAttr | 8);
}

void LowVideo() {
  TextColor(TextAttr & 0x77);
}

int GetScreenWidth() {
  const Point size = CrtDevice().GridSize();
  return size.x > 0 && size.y > 0 ? size.x : kStandardWidth;
}

int GetScreenHeight() {
  const Point size = CrtDevice().GridSize();
  return size.x > 0 && size.y > 0 ? size.y : kStandardHeight;
}

void Window(uint8_t x1, uint8_t y1, uint8_t x2, uint8_t y2) {
  if (x1 > x2 || x2 > GetScreenWidth() || y1 > y2 || y2 > GetScreenHeight()) return;
  WindMinX = x1;
  WindMinY = y1;
  WindMaxX = x2;
  WindMaxY = y2;
  CrtDevice().SetCursor({x1, y1});
  CrtDevice().Present();
}

void ClrScr() {
  CrtDevice().FillRect(WindowRect(), Cell{' ', TextAttr});
  CrtDevice().SetCursor({static_cast<int>(WindMinX), static_cast<int>(WindMinY)});
  CrtDevice().Present();
}

void GotoXY(int x, int y) {
  if (x < 1 || y < 1 || x > static_cast<int>(WindMaxX - WindMinX + 1) ||
      y > static_cast<int>(WindMaxY - WindMinY + 1))
    return;
  CrtDevice().SetCursor({x + static_cast<int>(WindMinX) - 1, y + static_cast<int>(WindMinY) - 1});
  CrtDevice().Present();
}

void Delay(uint16_t milliseconds) {
  CrtDevice().Sleep(milliseconds);
}

void WriteStr(Point& cursor, std::string_view bytes) {
  while (!bytes.empty()) {
    if (IsControlByte(bytes.front())) {
      WriteChar(cursor, static_cast<uint8_t>(bytes.front()));
      bytes.remove_prefix(1);
    } else {
      bytes.remove_prefix(PlaceRun(cursor, bytes));
    }
  }
}
