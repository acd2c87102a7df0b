#include "Program.h"
#include "Rutinok/AltRutinok.h"
#include "Rutinok/TextRutinok.h"
#include "runtime/StandardStreams.h"
#include "runtime/TextRead.h"
#include "runtime/TextWrite.h"

namespace {

constexpr Win1250Text kTitleSuffix(" -- beolvasás");
constexpr Win1250Text kPrompt("Fájlnév (*.dat, opcionális: ");
constexpr Win1250Text kSuccess("A beolvasás sikerült.");

}  // namespace

void BEOLVAS(ShortString& FN) {
  constexpr std::string_view FN0 = "3x4_1,1x3,3";
  constexpr std::string_view FNEXT = ".dat";
  TextFile F;

  UJLAP(ShortString(CIM) + kTitleSuffix, 1);
  do {
    Write(Output, kPrompt, FN0, "):");
    ReadLn(Input, FN);
    if (FN.Empty()) FN = FN0;
  } while (!OLVASASRANYIT(F, FN + FNEXT));

  const int32_t rows = Read(F);
  N = CheckedInt16(rows);
  const int32_t columns = Read(F);
  M = CheckedInt16(columns);
  ReadLn(F);
  for (int32_t I = 1; I <= N; ++I) {
    for (int32_t J = 1; J <= M; ++J) {
      const int32_t element = Read(F);
      int16_t& target = MAT(I, J);
      target = CheckedInt16(element);
    }
    ReadLn(F);
  }
  Close(F);
  IOCheck();

  WriteLn(Output, kSuccess);
  MAXRM = TRESZMATRIX{1, 1, N, M};
  KIIRMATRIX(MAXRM, MAT);
}
