#include "AltRutinok.h"

#include "console/Crt.h"
#include "console/Keyboard.h"
#include "runtime/RangeCheck.h"
#include "runtime/StandardStreams.h"
#include "runtime/TextWrite.h"

namespace {

enum Colour : uint8_t { kBlack = 0, kWhite = 15 };

}  // namespace

void UJLAP(ShortString CIM, int16_t VARAKOZAS) {
  Window(1, 1, 80, 25);
  // The background keeps three bits of white: black on light gray.
  TextBackground(kWhite);
  TextColor(kBlack);
  // The pause comes before the clearing, so the previous page stays visible.
  if (VARAKOZAS < 1)
    BILLREVAR();
  else
    Delay(CheckedWord(VARAKOZAS * 100));
  ClrScr();
  // Right-aligned in half its length plus 40 characters: centred on 80 columns.
  WriteLn(Output, TextField{CIM, CIM.Length() / 2 + 40});
}

void BILLREVAR() {
  ReadKey();
}
