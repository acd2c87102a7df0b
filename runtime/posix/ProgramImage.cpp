#include "runtime/ProgramImage.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>

// The first byte of the program's image and the end of its code, as the
// linker marks them; unlike the dynamic loader's records, they hold in a
// statically linked program too.
extern "C" const char __executable_start[];
extern "C" const char etext[];

namespace {

uintptr_t ParseHex(const char*& text) {
  uintptr_t value = 0;
  for (;; ++text) {
    const char c = *text;
    if (c >= '0' && c <= '9')
      value = value * 16 + static_cast<uintptr_t>(c - '0');
    else if (c >= 'a' && c <= 'f')
      value = value * 16 + static_cast<uintptr_t>(c - 'a' + 10);
    else
      return value;
  }
}

// A line of the memory map, "low-high perms offset dev inode path"; sets
// `stack` when the line is the main thread's stack.
void TakeStackLine(const char* line, StackBounds& stack) {
  const size_t length = std::strlen(line);
  constexpr char kStackName[] = "[stack]";
  if (length < sizeof kStackName - 1 ||
      std::strcmp(line + length - (sizeof kStackName - 1), kStackName) != 0)
    return;
  stack.low = ParseHex(line);
  if (*line++ != '-') return;
  stack.high = ParseHex(line);
}

}  // namespace

uintptr_t ModuleBase(const void* address) {
  if (InProgramImage(address)) return reinterpret_cast<uintptr_t>(__executable_start);
  Dl_info info;
  if (dladdr(address, &info) == 0) return 0;
  return reinterpret_cast<uintptr_t>(info.dli_fbase);
}

bool InProgramImage(const void* address) {
  const auto* code = static_cast<const char*>(address);
  return code >= __executable_start && code < etext;
}

// libbacktrace finds the running program, and where each module was loaded, by itself.
const char* DebugInfoFile() {
  return nullptr;
}

uintptr_t DebugInfoAddress(uintptr_t address) {
  return address;
}

// Read with plain system calls: the maps file is not held in memory, and no
// allocation happens, since this runs while the program is ending on a fault.
StackBounds MainStackBounds() {
  StackBounds stack;
  const int fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return stack;
  char chunk[1024];
  char line[512];
  size_t lineLength = 0;
  ssize_t count;
  while (stack.high == 0 && (count = read(fd, chunk, sizeof chunk)) > 0) {
    for (ssize_t i = 0; i < count; ++i) {
      if (chunk[i] != '\n') {
        if (lineLength < sizeof line - 1) line[lineLength++] = chunk[i];
        continue;
      }
      line[lineLength] = '\0';
      TakeStackLine(line, stack);
      lineLength = 0;
    }
  }
  close(fd);
  return stack;
}
