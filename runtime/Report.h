// The fatal-error report: the error line, the location of the error and the
// chain of calling routines, written when the program ends on a fatal error.
#pragma once

#include "TextFile.h"

/// Writes the report of the recorded error to `out` (ErrorCode, ErrorAddr,
/// ErrorFrame); its writes are not checked, and lines end with CR LF.
void WriteReport(TextFile& out);
