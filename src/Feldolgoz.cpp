#include "Program.h"
#include "runtime/StandardStreams.h"
#include "runtime/TextWrite.h"

namespace {

constexpr Win1250Text kPartialSums("Rész-összegek mátrixa:");

}  // namespace

void FELDOLGOZ() {
  // Cleared, so that a matrix with no rows or no columns reports the sum 0
  // instead of an element that was never set.
  TMATRIX KUMMAT = {};

  for (int32_t i = 0; i <= N; ++i) KUMMAT(i, 0) = 0;
  for (int32_t j = 1; j <= M; ++j) KUMMAT(0, j) = 0;
  for (int32_t i = 1; i <= N; ++i) {
    for (int32_t j = 1; j <= M; ++j) {
      const int32_t sum =
          int32_t{KUMMAT(i - 1, j)} - KUMMAT(i - 1, j - 1) + KUMMAT(i, j - 1) + MAT(i, j);
      int16_t& target = KUMMAT(i, j);
      target = CheckedInt16(sum);
    }
  }

  WriteLn(Output, kPartialSums);
  KIIRMATRIX(MAXRM, KUMMAT);

  MAXERT = KUMMAT(1, 1);
  MAXRM = TRESZMATRIX{1, 1, 1, 1};
  for (int16_t I = 1; I <= N; ++I) {
    for (int16_t J = 1; J <= M; ++J) {
      for (int16_t K = I; K <= N; ++K) {
        for (int16_t L = J; L <= M; ++L) {
          // Each candidate's sum from four partial sums, compared in 32 bits.
          const int32_t S =
              int32_t{KUMMAT(K, L)} - KUMMAT(K, J - 1) - KUMMAT(I - 1, L) + KUMMAT(I - 1, J - 1);
          if (S > MAXERT) {
            MAXERT = CheckedInt16(S);
            MAXRM = TRESZMATRIX{I, J, K, L};
          }
        }
      }
    }
  }
}
