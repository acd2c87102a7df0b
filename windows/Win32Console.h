// The console device on a Windows console: the grid is the screen buffer,
// cells are written and scrolled in place, and the key events are the
// console's own input records.
#pragma once

#include <windows.h>

#include "console/ConsoleDevice.h"

class Win32Console : public ConsoleDevice {
 public:
  /// Works on the console input buffer `input` and the screen buffer `output`.
  Win32Console(HANDLE input, HANDLE output);

  Point GridSize() override;
  Rect VisibleArea() override;
  uint8_t CurrentAttribute() override;
  Point Cursor() override;
  void SetCursor(Point position) override;
  void WriteCells(Point at, std::string_view bytes, uint8_t attribute) override;
  void FillRect(Rect area, Cell fill) override;
  void ScrollUp(Rect area, Cell fill) override;
  /// The console shows every change at once.
  void Present() override {}
  bool PollEvent(KeyEvent& event) override;
  void WaitForEvent() override;
  /// A console's input never ends.
  bool InputEnded() override { return false; }
  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }

 private:
  /// The screen buffer's size, window, cursor and attribute; false when the console cannot tell.
  bool Info(CONSOLE_SCREEN_BUFFER_INFO& info);

  HANDLE input_;
  HANDLE output_;
};
