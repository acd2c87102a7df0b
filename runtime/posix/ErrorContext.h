// The state interrupted by a fault or a signal, kept for the caller walk: the
// report is written on the signal's own stack, so the walk starts from this
// copy, in the routine that was interrupted.
#pragma once

#include <ucontext.h>

#include <cstdint>

/// Where an interrupted routine stood.
struct InterruptedState {
  /// The interrupted instruction.
  uintptr_t pc = 0;
  uintptr_t stackPointer = 0;
};

/// Keeps the state `interrupted` holds as the one the caller walk starts
/// from, and returns where it stood; zeros when the unwinder cannot take it.
InterruptedState KeepErrorContext(const ucontext_t& interrupted);
