// Range checks: the comparison is inlined at the place of use, before the store
// or before the index is used; a value out of range ends the program with 201.
#pragma once

#include <cstdint>

/// Raises run-time error 201, located at its return point in the caller.
[[noreturn, gnu::noinline, gnu::cold]] void RangeError();

/// `value` as a 16-bit signed value; 201 when it lies outside -32768..32767.
[[gnu::always_inline]] inline int16_t CheckedInt16(int32_t value) {
  if (value < INT16_MIN || value > INT16_MAX) [[unlikely]]
    RangeError();
  return static_cast<int16_t>(value);
}

/// `value` as a 16-bit unsigned value; 201 when it lies outside 0..65535.
[[gnu::always_inline]] inline uint16_t CheckedWord(int32_t value) {
  if (value < 0 || value > UINT16_MAX) [[unlikely]]
    RangeError();
  return static_cast<uint16_t>(value);
}

/// `index` unchanged; 201 when it lies outside low..high.
[[gnu::always_inline]] inline int32_t CheckedIndex(int32_t index, int32_t low, int32_t high) {
  if (index < low || index > high) [[unlikely]]
    RangeError();
  return index;
}
