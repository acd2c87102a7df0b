// Where code and the stack lie in this process: the module that holds a code
// address, whether that is the program's own image, and the main thread's stack.
// Safe to call from a signal handler that has interrupted ordinary code.
#pragma once

#include <cstdint>

/// The lowest and one past the highest address of a stack.
struct StackBounds {
  uintptr_t low = 0;
  uintptr_t high = 0;
};

/// The start of the loaded module that holds `address`; 0 when none holds it.
uintptr_t ModuleBase(const void* address);

/// `address` as a place in code: without the bit by which a code address
/// selects the instruction set on some processors (ARM's Thumb state).
uintptr_t CodeAddress(const void* address);

/// Whether `address` lies in the program's own executable image.
bool InProgramImage(const void* address);

/// The file that holds the program's debug information, for its reader; null
/// where the reader finds the running program by itself.
const char* DebugInfoFile();
/// `address` as the debug information numbers it: moved to where the image
/// was linked to lie, for a reader that assumes that.
uintptr_t DebugInfoAddress(uintptr_t address);
/// The bounds of the main thread's stack as mapped now; empty when unknown.
StackBounds MainStackBounds();
