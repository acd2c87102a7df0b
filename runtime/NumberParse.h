// The number syntax of text-stream reads: an optional sign, an optional base
// prefix ("$", "x", "X", "0x", "0X" hexadecimal, "%" binary, "&" octal) and at
// least one digit of that base. Decimal values must fit in 32 signed bits;
// other bases may use all 32 bits, taken as a signed pattern and then negated
// when a "-" stood before them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

/// The value of `text`, or nothing when it is not a valid number.
std::optional<int32_t> ParseNumber(std::string_view text);
