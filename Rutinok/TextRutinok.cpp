#include "TextRutinok.h"

#include "runtime/IoResult.h"

bool OLVASASRANYIT(TextFile& F, const ShortString& FN) {
  Assign(F, FN);
  Reset(F);
  return IOResult() == 0;
}
