#include "Program.h"

ShortString FN;
int16_t N = 0;
int16_t M = 0;
TMATRIX MAT = {};
TRESZMATRIX MAXRM = {};
int16_t MAXERT = 0;
