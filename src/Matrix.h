// The program's constants and record types: a 10 by 10 matrix of 16-bit
// values whose every index is checked at the moment of use, and a submatrix
// given by its corners.
#pragma once

#include <cstdint>

#include "runtime/RangeCheck.h"
#include "runtime/Win1250.h"

/// Highest row and column index of a TMATRIX.
inline constexpr int32_t MAXN = 9;
inline constexpr int32_t MAXM = 9;

/// The program's title: search for the largest-sum submatrix.
inline constexpr Win1250Text CIM("Legnagyobb összegű részmátrix keresése");

struct TMATRIX {
  /// Element [i, j]; 201 when i or j lies outside 0..9 (the row is checked first).
  [[gnu::always_inline]] int16_t& operator()(int32_t i, int32_t j) {
    const int32_t row = CheckedIndex(i, 0, MAXN);
    const int32_t column = CheckedIndex(j, 0, MAXM);
    return elements[row][column];
  }
  [[gnu::always_inline]] int16_t operator()(int32_t i, int32_t j) const {
    return const_cast<TMATRIX&>(*this)(i, j);
  }

  int16_t elements[MAXN + 1][MAXM + 1];
};

/// A submatrix by its corners, bounds inclusive: top-left (BFI, BFJ), bottom-right (JAI, JAJ).
struct TRESZMATRIX {
  int16_t BFI;
  int16_t BFJ;
  int16_t JAI;
  int16_t JAJ;
};
