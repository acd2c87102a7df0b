// Finds the rectangular submatrix with the largest element sum in a small
// integer matrix read from a file, in three phases: reading, search, result.
#include "Program.h"
#include "console/CrtStartup.h"
#include "runtime/FatalError.h"
#include "runtime/StandardStreams.h"

int main() {
  SysInit();
  CrtInit();
  BEOLVAS(FN);
  FELDOLGOZ();
  KIIR(FN);
  NormalEnd();
}
