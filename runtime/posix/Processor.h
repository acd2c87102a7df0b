// What the caller walk needs of the processor beyond its unwinder: the
// unwinder's context of an interrupted state, and code addresses as the debug
// information numbers them (CodeAddress, runtime/ProgramImage.h). One file
// serves the processors whose unwinder takes the interrupted state as it is,
// one ARM (arm/), chosen by the build.
#pragma once

#include <libunwind.h>
#include <ucontext.h>

/// Copies the registers of the state `interrupted` into the unwinder's `context`.
void UnwinderContextOf(const ucontext_t& interrupted, unw_context_t& context);
