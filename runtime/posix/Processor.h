// What the fatal-error report needs to know of the processor it runs on: the
// registers of an interrupted context, and how a call instruction looks. One
// source file per processor (x86_64/, aarch64/) implements it, chosen by the
// build. Both processors keep the same frame records for the caller walk: the
// caller's frame in the first word, the return point in the second.
#pragma once

#include <ucontext.h>

#include <cstdint>

#include "runtime/ProgramImage.h"

/// The state of an interrupted routine, as far as the caller walk needs it.
struct InterruptedState {
  /// The interrupted instruction.
  uintptr_t pc = 0;
  uintptr_t stackPointer = 0;
  /// The frame register: the newest frame record.
  void* const* frame = nullptr;
  /// A return point that the interrupted routine may hold outside the frame
  /// records: the one a call hands over before the routine has saved it in a
  /// record of its own, or after it has taken its record down; 0 when there
  /// is none (it is already the newest record's).
  uintptr_t looseReturnPoint = 0;
};

/// The state that `machine` holds; memory is read only inside `stack`.
InterruptedState StateOf(const mcontext_t& machine, StackBounds stack);

/// Whether `returnPoint` follows a direct call instruction in the program's
/// image; the call's target in `target`.
bool FollowsDirectCall(uintptr_t returnPoint, uintptr_t& target);
