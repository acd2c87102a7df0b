#include "Program.h"
#include "Rutinok/AltRutinok.h"
#include "console/Crt.h"
#include "runtime/StandardStreams.h"
#include "runtime/TextWrite.h"

namespace {

constexpr int kWidth = 4;

}  // namespace

void KIIRMATRIX(const TRESZMATRIX& RM, const TMATRIX& MAT) {
  WriteLn(Output);
  HighVideo();
  Write(Output, "    ");
  for (int32_t j = RM.BFJ; j <= RM.JAJ; ++j) Write(Output, Field{j, kWidth});
  WriteLn(Output);
  LowVideo();
  for (int32_t i = RM.BFI; i <= RM.JAI; ++i) {
    HighVideo();
    Write(Output, Field{i, kWidth});
    LowVideo();
    for (int32_t j = RM.BFJ; j <= RM.JAJ; ++j) Write(Output, Field{MAT(i, j), kWidth});
    WriteLn(Output);
  }
  WriteLn(Output);
  BILLREVAR();
}
