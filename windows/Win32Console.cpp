#include "Win32Console.h"

#include <algorithm>

#include "runtime/Win1250.h"

namespace {

COORD Coord(int x, int y) {
  return COORD{static_cast<SHORT>(x - 1), static_cast<SHORT>(y - 1)};
}

// Cells go to the console in runs of at most this many.
constexpr int kCellRun = 256;

// The character a cell shows for a Windows-1250 byte. A byte the code page
// leaves undefined keeps its own value, as the system's own conversion from
// code page 1250 gives it.
wchar_t CellCharacter(uint8_t byte) {
  const char32_t codePoint = Win1250ToUnicode(byte);
  return static_cast<wchar_t>(codePoint != 0 ? codePoint : byte);
}

}  // namespace

Win32Console::Win32Console(HANDLE input, HANDLE output) : input_(input), output_(output) {
  // A console on a terminal (wine's) takes the terminal's keys over at the
  // first look at its input; looking before anything is drawn keeps the
  // terminal from echoing keys typed at the first prompt.
  WaitForSingleObject(input_, 0);
}

bool Win32Console::Info(CONSOLE_SCREEN_BUFFER_INFO& info) {
  return GetConsoleScreenBufferInfo(output_, &info);
}

Point Win32Console::GridSize() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!Info(info)) return {0, 0};
  return {info.dwSize.X, info.dwSize.Y};
}

Rect Win32Console::VisibleArea() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!Info(info)) return {1, 1, 80, 25};
  const SMALL_RECT& window = info.srWindow;
  return {window.Left + 1, window.Top + 1, window.Right + 1, window.Bottom + 1};
}

uint8_t Win32Console::CurrentAttribute() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!Info(info)) return 0x07;
  return static_cast<uint8_t>(info.wAttributes);
}

Point Win32Console::Cursor() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!Info(info)) return {1, 1};
  return {info.dwCursorPosition.X + 1, info.dwCursorPosition.Y + 1};
}

void Win32Console::SetCursor(Point position) {
  SetConsoleCursorPosition(output_, Coord(position.x, position.y));
}

void Win32Console::WriteCells(Point at, std::string_view bytes, uint8_t attribute) {
  wchar_t characters[kCellRun];
  WORD attributes[kCellRun];
  std::fill(std::begin(attributes), std::end(attributes), attribute);
  DWORD written = 0;
  for (size_t done = 0; done < bytes.size();) {
    const auto count = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kCellRun));
    for (DWORD i = 0; i < count; ++i)
      characters[i] = CellCharacter(static_cast<uint8_t>(bytes[done + i]));
    const COORD from = Coord(at.x + static_cast<int>(done), at.y);
    WriteConsoleOutputCharacterW(output_, characters, count, from, &written);
    WriteConsoleOutputAttribute(output_, attributes, count, from, &written);
    done += count;
  }
}

void Win32Console::FillRect(Rect area, Cell fill) {
  const auto width = static_cast<DWORD>(area.right - area.left + 1);
  DWORD written = 0;
  for (int y = area.top; y <= area.bottom; ++y) {
    FillConsoleOutputCharacterW(output_, CellCharacter(fill.character), width, Coord(area.left, y),
                                &written);
    FillConsoleOutputAttribute(output_, fill.attribute, width, Coord(area.left, y), &written);
  }
}

void Win32Console::ScrollUp(Rect area, Cell fill) {
  // A single row has nothing to move: it only becomes blank.
  if (area.top == area.bottom) return FillRect(area, fill);
  // The rows below the top move up one; the cells they leave, the bottom row, get `fill`.
  const SMALL_RECT moved = {static_cast<SHORT>(area.left - 1), static_cast<SHORT>(area.top),
                            static_cast<SHORT>(area.right - 1),
                            static_cast<SHORT>(area.bottom - 1)};
  const SMALL_RECT clip = {static_cast<SHORT>(area.left - 1), static_cast<SHORT>(area.top - 1),
                           static_cast<SHORT>(area.right - 1), static_cast<SHORT>(area.bottom - 1)};
  CHAR_INFO blank;
  blank.Char.UnicodeChar = CellCharacter(fill.character);
  blank.Attributes = fill.attribute;
  ScrollConsoleScreenBufferW(output_, &moved, &clip, Coord(area.left, area.top), &blank);
}

bool Win32Console::PollEvent(KeyEvent& event) {
  // Waiting on the handle for no time first lets a console that fills its
  // queue lazily (wine's in a terminal) take in what has arrived.
  WaitForSingleObject(input_, 0);
  DWORD waiting = 0;
  if (!GetNumberOfConsoleInputEvents(input_, &waiting) || waiting == 0) return false;
  INPUT_RECORD record;
  DWORD read = 0;
  if (!ReadConsoleInputW(input_, &record, 1, &read) || read == 0) return false;
  event = KeyEvent{};
  const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
  // A character beyond 16 bits comes as two key records, one for each half of
  // its UTF-16 form: the second stands for the whole character.
  event.isKey = record.EventType == KEY_EVENT && !IS_HIGH_SURROGATE(key.uChar.UnicodeChar);
  if (!event.isKey) return true;
  event.keyDown = key.bKeyDown;
  event.virtualKey = key.wVirtualKeyCode;
  event.scanCode = key.wVirtualScanCode;
  // The program's texts are Windows-1250: a character that code page lacks
  // arrives as '?', as from a terminal.
  event.character = Win1250Byte(key.uChar.UnicodeChar);
  event.controlState = key.dwControlKeyState;
  event.repeatCount = key.wRepeatCount;
  return true;
}

void Win32Console::WaitForEvent() {
  WaitForSingleObject(input_, INFINITE);
}
