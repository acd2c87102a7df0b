#include "Win32Console.h"

#include <algorithm>

namespace {

COORD Coord(int x, int y) {
  return COORD{static_cast<SHORT>(x - 1), static_cast<SHORT>(y - 1)};
}

// Attributes go to the console in runs of at most this many cells.
constexpr int kAttributeRun = 256;

// A typed character arrives in the console's input code page (852 on a
// Hungarian console), but texts and file names are in the system's text code
// page: the character is carried over by its meaning, '?' where it has none.
uint8_t InTextCodePage(char typed) {
  const auto byte = static_cast<uint8_t>(typed);
  if (byte < 0x80) return byte;
  wchar_t character = 0;
  char converted = '?';
  if (MultiByteToWideChar(GetConsoleCP(), 0, &typed, 1, &character, 1) == 1)
    WideCharToMultiByte(GetACP(), 0, &character, 1, &converted, 1, nullptr, nullptr);
  return static_cast<uint8_t>(converted);
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
  DWORD written = 0;
  WriteConsoleOutputCharacterA(output_, bytes.data(), static_cast<DWORD>(bytes.size()),
                               Coord(at.x, at.y), &written);
  WORD attributes[kAttributeRun];
  std::fill(std::begin(attributes), std::end(attributes), attribute);
  for (size_t done = 0; done < bytes.size();) {
    const auto count = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kAttributeRun));
    WriteConsoleOutputAttribute(output_, attributes, count,
                                Coord(at.x + static_cast<int>(done), at.y), &written);
    done += count;
  }
}

void Win32Console::FillRect(Rect area, Cell fill) {
  const auto width = static_cast<DWORD>(area.right - area.left + 1);
  DWORD written = 0;
  for (int y = area.top; y <= area.bottom; ++y) {
    FillConsoleOutputCharacterA(output_, static_cast<char>(fill.character), width,
                                Coord(area.left, y), &written);
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
  blank.Char.AsciiChar = static_cast<char>(fill.character);
  blank.Attributes = fill.attribute;
  ScrollConsoleScreenBufferA(output_, &moved, &clip, Coord(area.left, area.top), &blank);
}

void Win32Console::SetOutputCodePage(uint32_t codePage) {
  if (codePage != GetConsoleOutputCP()) SetConsoleOutputCP(codePage);
}

bool Win32Console::PollEvent(KeyEvent& event) {
  // Waiting on the handle for no time first lets a console that fills its
  // queue lazily (wine's in a terminal) take in what has arrived.
  WaitForSingleObject(input_, 0);
  DWORD waiting = 0;
  if (!GetNumberOfConsoleInputEvents(input_, &waiting) || waiting == 0) return false;
  INPUT_RECORD record;
  DWORD read = 0;
  if (!ReadConsoleInputA(input_, &record, 1, &read) || read == 0) return false;
  event = KeyEvent{};
  if (record.EventType != KEY_EVENT) {
    event.isKey = false;
    return true;
  }
  const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
  event.keyDown = key.bKeyDown;
  event.virtualKey = key.wVirtualKeyCode;
  event.scanCode = key.wVirtualScanCode;
  event.character = InTextCodePage(key.uChar.AsciiChar);
  event.controlState = key.dwControlKeyState;
  event.repeatCount = key.wRepeatCount;
  return true;
}

void Win32Console::WaitForEvent() {
  WaitForSingleObject(input_, INFINITE);
}
