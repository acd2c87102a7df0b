#include "Crt.h"

#include "Keyboard.h"
#include "runtime/IoResult.h"
#include "runtime/StandardStreams.h"

namespace {

constexpr int kDefaultWidth = 80;
constexpr int kDefaultHeight = 25;

ConsoleDevice* device = nullptr;

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
    device->ScrollUp(WindowRect(), Cell{' ', TextAttr});
    --cursor.y;
  }
}

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
    default:
      device->WriteCells(cursor, std::string_view(reinterpret_cast<const char*>(&byte), 1),
                         TextAttr);
      ++cursor.x;
  }
  KeepInWindow(cursor);
}

bool IsControlByte(char byte) {
  return byte == 7 || byte == 8 || byte == 10 || byte == 13;
}

}  // namespace

uint8_t TextAttr = 0x07;
uint32_t WindMinX = 1, WindMinY = 1, WindMaxX = kDefaultWidth, WindMaxY = kDefaultHeight;

ConsoleDevice& CrtDevice() {
  return *device;
}

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
  const Point size = device->GridSize();
  return size.x > 0 && size.y > 0 ? size.x : kDefaultWidth;
}

int GetScreenHeight() {
  const Point size = device->GridSize();
  return size.x > 0 && size.y > 0 ? size.y : kDefaultHeight;
}

void Window(uint8_t x1, uint8_t y1, uint8_t x2, uint8_t y2) {
  if (x1 > x2 || x2 > GetScreenWidth() || y1 > y2 || y2 > GetScreenHeight()) return;
  WindMinX = x1;
  WindMinY = y1;
  WindMaxX = x2;
  WindMaxY = y2;
  device->SetCursor({x1, y1});
  device->Present();
}

void ClrScr() {
  device->FillRect(WindowRect(), Cell{' ', TextAttr});
  device->SetCursor({static_cast<int>(WindMinX), static_cast<int>(WindMinY)});
  device->Present();
}

void GotoXY(int x, int y) {
  if (x < 1 || y < 1 || x > static_cast<int>(WindMaxX - WindMinX + 1) ||
      y > static_cast<int>(WindMaxY - WindMinY + 1))
    return;
  device->SetCursor({x + static_cast<int>(WindMinX) - 1, y + static_cast<int>(WindMinY) - 1});
  device->Present();
}

void Delay(uint16_t milliseconds) {
  device->Sleep(milliseconds);
}

void WriteStr(Point& cursor, std::string_view bytes) {
  while (!bytes.empty()) {
    if (IsControlByte(bytes.front())) {
      WriteChar(cursor, static_cast<uint8_t>(bytes.front()));
      bytes.remove_prefix(1);
      continue;
    }
    // The cells up to the window's right edge go to the device in one piece;
    // the result is the same as placing them one by one.
    size_t run = 1;
    if (cursor.x >= static_cast<int>(WindMinX) && cursor.x <= static_cast<int>(WindMaxX)) {
      const size_t room = WindMaxX - static_cast<uint32_t>(cursor.x) + 1;
      while (run < bytes.size() && run < room && !IsControlByte(bytes[run])) ++run;
    }
    device->WriteCells(cursor, bytes.substr(0, run), TextAttr);
    cursor.x += static_cast<int>(run);
    KeepInWindow(cursor);
    bytes.remove_prefix(run);
  }
}

void CrtStart(ConsoleDevice& selected) {
  device = &selected;
  TextAttr = selected.CurrentAttribute();
  const Rect visible = selected.VisibleArea();
  WindMinX = static_cast<uint32_t>(visible.left);
  WindMinY = static_cast<uint32_t>(visible.top);
  WindMaxX = static_cast<uint32_t>(visible.right);
  WindMaxY = static_cast<uint32_t>(visible.bottom);
  ClearKeyboardState();
  AssignCrt(Output);
  Rewrite(Output);
  IOCheck();
  AssignCrt(Input);
  Reset(Input);
  IOCheck();
}
