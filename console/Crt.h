// The screen side of the console unit: a window on a grid of cells, colours,
// clearing, writing with immediate wrap and scroll, pauses.
#pragma once

#include <cstdint>
#include <string_view>

#include "CrtState.h"

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
