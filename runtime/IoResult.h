// The pending I/O result and the I/O check that follows every console and file
// operation. The check is inlined at the place of use; only its failure path is
// a call, so a report names the caller's routine and line.
#pragma once

#include <cstdint>

/// The pending I/O result of this thread: 0 when nothing is pending.
extern thread_local uint16_t InOutRes;

/// Returns the pending I/O result and clears it.
uint16_t IOResult();

/// Raises the pending I/O result as a fatal error, located at its return point.
[[noreturn, gnu::noinline, gnu::cold]] void IOCheckFailed();

/// Ends the program when an I/O result is pending.
[[gnu::always_inline]] inline void IOCheck() {
  if (InOutRes != 0) [[unlikely]]
    IOCheckFailed();
}
