// Routine, source file and line of a code address in the program's own image,
// from its debug information. The debug information is opened at the first
// lookup, never before: only a fatal-error report looks anything up.
#pragma once

#include <cstdint>

#include "LocationLine.h"

/// Fills the routine (as written in the source), the source file (relative to
/// the project root) and the line of the code at `pc`. With inlined code the
/// routine is the one the code was inlined into, and the line that of its
/// statement. Leaves the fields empty when the debug information has nothing.
void LookUpCode(uintptr_t pc, CodeLocation& location);
