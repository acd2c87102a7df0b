// The processor state at a fault or an interrupt, kept for the caller walk:
// the report is written elsewhere (on the reserve stack, or on the thread that
// took the console's control event), so the walk starts from this copy. And
// the step of the walk, from a routine to its caller.
#pragma once

#include <windows.h>

/// Keeps `context` as the state the caller walk starts from.
void KeepErrorContext(const CONTEXT& context);

/// Steps `context` out of the routine that holds its Rip into its caller, by
/// the unwind tables; false when the caller's frame is not a sound one.
bool StepOut(CONTEXT& context);
