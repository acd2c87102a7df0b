#include "Program.h"
#include "Rutinok/AltRutinok.h"
#include "runtime/StandardStreams.h"
#include "runtime/TextWrite.h"

namespace {

constexpr Win1250Text kTitleSuffix(" -- eredmény:");
constexpr Win1250Text kCorners("A keresett részmátrix: (");
constexpr Win1250Text kSum("A részmátrix összege:");

}  // namespace

void KIIR(const ShortString& FN) {
  UJLAP(ShortString(CIM) + kTitleSuffix + FN, 2);
  WriteLn(Output, kCorners, MAXRM.BFI, ",", MAXRM.BFJ, ")..(", MAXRM.JAI, ",", MAXRM.JAJ, ")");
  WriteLn(Output, kSum, MAXERT);
  KIIRMATRIX(MAXRM, MAT);
}
