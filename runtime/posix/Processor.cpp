#include "runtime/posix/Processor.h"

#include <cstring>

#include "runtime/ProgramImage.h"

// The unwinder's context is laid out as the interrupted state, or as the part
// of it that holds the registers.
void UnwinderContextOf(const ucontext_t& interrupted, unw_context_t& context) {
  static_assert(sizeof context <= sizeof interrupted);
  std::memcpy(&context, &interrupted, sizeof context);
}

uintptr_t CodeAddress(const void* address) {
  return reinterpret_cast<uintptr_t>(address);
}
