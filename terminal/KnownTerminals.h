// The terminals known to differ from what the terminfo entries TERM may name
// declare, one commented row each, known by the entry's name or by what the
// terminal answers it is: where the program takes what was measured of a
// terminal over the entry's word.
#pragma once

#include <string_view>

#include "TerminalCapabilities.h"

/// What a terminal is known by: the entry TERM names, and its kind, the first
/// number of its answer to the secondary device attributes (CSI > c).
struct TerminalIdentity {
  static constexpr int kNoAnswer = -1;
  std::string_view entry;
  int kind = kNoAnswer;
};

/// `capabilities` with what the known terminal `identity` names differs in.
TerminalCapabilities WithKnownDifferences(TerminalCapabilities capabilities,
                                          const TerminalIdentity& identity);
