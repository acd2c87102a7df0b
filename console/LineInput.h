// The line editor that fills Input's buffer: overwrite mode, at most 254
// characters, echo through the screen's character rules, ended by Enter.
#pragma once

#include "runtime/TextFile.h"

/// Reads one edited line from the keyboard into `file`'s buffer, ending in CR LF.
void CrtRead(TextFile& file);
