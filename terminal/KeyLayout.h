// The US keyboard layout: the key, modifiers and character byte that type
// each ASCII byte.
#pragma once

#include <cstdint>

#include "console/KeyCodes.h"

/// The key press that types `byte` (0x00..0x7F) on a US keyboard: its key,
/// Shift for upper-case letters and shifted symbols, Ctrl for control bytes.
/// Bytes 0x7F and 0x08 are Backspace, 0x00 is Ctrl+@ (the 2 key).
KeyEvent AsciiKeyPress(uint8_t byte);
