#include "DebugInfo.h"

#include <backtrace.h>

#include "Demangle.h"
#include "ProgramImage.h"

namespace {

// Reports of unreadable debug information are dropped: the location line then
// holds what was found, down to the address alone.
void IgnoreError(void*, const char*, int) {}

backtrace_state* State() {
  static backtrace_state* state = backtrace_create_state(DebugInfoFile(), 0, IgnoreError, nullptr);
  return state;
}

// Called innermost inlined routine first; the last call is the routine that
// holds the code, with the line of its statement, so each call overwrites.
// Without a source file the name comes from the symbol table alone, which
// the program without debug information does not report.
int TakeFrame(void* data, uintptr_t, const char* file, int line, const char* function) {
  if (file == nullptr) return 0;
  auto& location = *static_cast<CodeLocation*>(data);
  location.routine = function != nullptr ? RoutineName(function) : std::string_view();
  location.file = file != nullptr ? std::string_view(file) : std::string_view();
  if (location.file.starts_with("./")) location.file.remove_prefix(2);
  location.line = line > 0 ? static_cast<uint32_t>(line) : 0;
  return 0;
}

}  // namespace

void LookUpCode(uintptr_t pc, CodeLocation& location) {
  backtrace_state* state = State();
  if (state != nullptr)
    backtrace_pcinfo(state, DebugInfoAddress(pc), TakeFrame, IgnoreError, &location);
}
