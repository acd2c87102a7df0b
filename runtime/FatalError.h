// Fatal errors and the end of the run. Every way out of the program, a normal
// end or a fatal error, runs one end-of-run sequence exactly once: the exit
// steps in reverse order of registration, the report when an error is recorded,
// the flush of the standard streams, and the process exit.
#pragma once

#include <cstdint>

using ExitStep = void (*)();

/// The number of the fatal error; 0 until one occurs.
extern uint16_t ErrorCode;
/// The error location: the return point behind the failed check, or the
/// faulting instruction; null until a fatal error occurs.
extern const void* ErrorAddr;
/// True when ErrorAddr is a faulting instruction rather than a return point.
extern bool ErrorAtFault;

/// Registers a subsystem's shutdown step; steps run in reverse order at the end.
void AddExitStep(ExitStep step);

/// Whether the end-of-run sequence has begun. Async-signal-safe.
bool RunEnding();

/// Records the error and ends the program through the end-of-run sequence.
/// Once the sequence has begun, ends the process at once with the first
/// error's status instead.
[[noreturn]] void RaiseFatalError(uint16_t code, const void* address, bool atFault = false);

/// Raises `code` as a fatal error located at its own return point in the caller.
[[noreturn, gnu::noinline, gnu::cold]] void RunError(uint16_t code);

/// The last step of the main routine: the end-of-run sequence with no error.
[[noreturn]] void NormalEnd();
