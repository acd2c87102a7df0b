// What the terminal's terminfo entry declares, read through libtinfo: the
// entry named by TERM, found along the usual search path (TERMINFO,
// ~/.terminfo, TERMINFO_DIRS, the system's folders). The capabilities the
// renderer may use, each taken only where the entry's string is the form the
// renderer sends, and the sequences of the keys it declares.
#pragma once

#include <vector>

#include "terminal/KeySequences.h"
#include "terminal/TerminalCapabilities.h"

/// A terminal as its entry describes it; left as it starts, the safe
/// description of a terminal without an entry.
struct TerminalDescription {
  /// Whether TERM named an entry; a terminal without one is asked nothing.
  bool described = false;
  /// False where the entry cannot address the cursor as the renderer does
  /// (dumb, an editor's shell buffer): such a terminal gets a transcript.
  bool addressesCursor = true;
  TerminalCapabilities capabilities;
  std::vector<DeclaredKey> keys;
};

/// The description of the terminal on `fd` by the entry TERM names; the safe
/// description when TERM is unset or names no entry. Never prints or exits,
/// and keeps nothing of the entry loaded.
TerminalDescription DescribeTerminal(int fd);
