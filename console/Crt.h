// The screen side of the console unit: a window on a grid of cells, colours,
// clearing, writing with immediate wrap and scroll, pauses, and the console
// driver of the text streams Output and Input.
#pragma once

#include <cstdint>
#include <string_view>

#include "ConsoleDevice.h"
#include "runtime/TextFile.h"

/// The attribute every cell written, cleared or scrolled in receives.
extern uint8_t TextAttr;
/// The output window in screen coordinates, 1-based and inclusive.
extern uint32_t WindMinX, WindMinY, WindMaxX, WindMaxY;

void TextColor(uint8_t color);
void TextBackground(uint8_t color);
void HighVideo();
void LowVideo();
/// Sets the window and moves the cursor to its top-left cell; out of order or
/// beyond the grid, changes nothing.
void Window(uint8_t x1, uint8_t y1, uint8_t x2, uint8_t y2);
/// Clears the window in TextAttr and moves the cursor to its top-left cell.
void ClrScr();
/// Moves the cursor to window coordinates (x, y) when they lie in the window.
void GotoXY(int x, int y);
/// Sleeps `milliseconds`; everything written before is already on the screen.
void Delay(uint16_t milliseconds);
/// The size of the console's cell grid; 80 by 25 when the console cannot tell.
int GetScreenWidth();
int GetScreenHeight();

/// Places `bytes` at `cursor` by the character rules (7, 8, 10, 13, cells,
/// immediate wrap, scroll at the bottom) and advances `cursor`.
void WriteStr(Point& cursor, std::string_view bytes);

/// Binds a text stream to the console driver.
void AssignCrt(TextFile& file);

/// The device the console unit works on.
ConsoleDevice& CrtDevice();
/// Starts the unit on `device`: TextAttr and the window from the device, the
/// keyboard state cleared, Output and Input taken over (each followed by the I/O check).
void CrtStart(ConsoleDevice& device);
