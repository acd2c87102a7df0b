// The text of the fatal-error report's lines, built from what the debug
// information says about a code address. Pure formatting: no lookups here.
#pragma once

#include <cstdint>
#include <string_view>

#include "ShortString.h"

/// What is known of a code address: an empty routine or file means not found,
/// a line of 0 means no line number.
struct CodeLocation {
  uint32_t address = 0;
  std::string_view routine;
  std::string_view file;
  uint32_t line = 0;
};

/// `value` as 8 upper-case hexadecimal digits with leading zeros.
void AppendHex8(ShortString& text, uint32_t value);

/// "  $" and the address, then "  " and the routine when found, then (with ", "
/// after a routine) " line N" when the line is not 0 and " of " and the file
/// when the file is found; cut to 255 characters.
ShortString LocationLine(const CodeLocation& location);

/// "Runtime error N at $XXXXXXXX".
ShortString ErrorLine(uint16_t code, uint32_t address);
