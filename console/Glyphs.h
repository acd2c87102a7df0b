// The glyph a terminal shows for each Windows-1250 byte of a cell, as UTF-8.
// Every byte gets a visible glyph of one cell's width, so no byte of the
// program's text ever reaches the terminal as a control character.
#pragma once

#include <cstdint>
#include <string_view>

/// The code point shown for `byte`: its Windows-1250 character, a symbol for
/// the control bytes, U+FFFD for the bytes the code page leaves undefined.
char32_t GlyphCodePoint(uint8_t byte);
/// The UTF-8 bytes of GlyphCodePoint(byte); one to three bytes.
std::string_view CellGlyph(uint8_t byte);
