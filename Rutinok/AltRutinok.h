// Pages and key waits: a new page with a centred title in the program's
// colours, and a wait for any key.
#pragma once

#include <cstdint>

#include "runtime/ShortString.h"

/// Starts a page titled `CIM`: after a pause of `VARAKOZAS` tenths of a second
/// (or, below 1, a key press) the screen is cleared to black on light gray.
void UJLAP(ShortString CIM, int16_t VARAKOZAS);

/// Waits for a key and discards it.
void BILLREVAR();
