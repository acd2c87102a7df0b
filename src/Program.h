// The global state of one run and the program's routines.
#pragma once

#include "Matrix.h"
#include "runtime/ShortString.h"

/// The matrix file name as typed (or the default), without its extension.
extern ShortString FN;
/// The row and column counts read from the file.
extern int16_t N;
extern int16_t M;
/// The matrix read, in rows 1..N and columns 1..M.
extern TMATRIX MAT;
/// First the whole matrix, after the search the best submatrix.
extern TRESZMATRIX MAXRM;
/// The element sum of the best submatrix.
extern int16_t MAXERT;

/// Reading phase: asks for the file name until a file opens, reads and shows the matrix.
void BEOLVAS(ShortString& FN);
/// Search phase: builds and shows the partial-sum matrix, finds the best submatrix.
void FELDOLGOZ();
/// Result page: the best submatrix's corners, sum and elements.
void KIIR(const ShortString& FN);
/// Shows the part of `MAT` that `RM` selects with its row and column numbers, then waits for a key.
void KIIRMATRIX(const TRESZMATRIX& RM, const TMATRIX& MAT);
