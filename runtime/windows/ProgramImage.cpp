#include "runtime/ProgramImage.h"

#include <windows.h>

// The linker's symbol at the start of the program's image, wherever it was loaded.
extern "C" const IMAGE_DOS_HEADER __ImageBase;

namespace {

uintptr_t LoadedBase() {
  return reinterpret_cast<uintptr_t>(&__ImageBase);
}

char programFile[MAX_PATH + 1];

// The image base that the program was linked for, from the headers of its
// file: the loaded copy of the headers may have been moved with the image.
uintptr_t LinkedBase() {
  static uintptr_t base = [] {
    const char* file = DebugInfoFile();
    HANDLE handle = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LoadedBase();
    char headers[4096];
    DWORD count = 0;
    const bool read = ReadFile(handle, headers, sizeof headers, &count, nullptr);
    CloseHandle(handle);
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS64 nt;
    if (!read || count < sizeof dos) return LoadedBase();
    memcpy(&dos, headers, sizeof dos);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0 ||
        static_cast<DWORD>(dos.e_lfanew) + sizeof nt > count)
      return LoadedBase();
    memcpy(&nt, headers + dos.e_lfanew, sizeof nt);
    if (nt.Signature != IMAGE_NT_SIGNATURE ||
        nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
      return LoadedBase();
    return static_cast<uintptr_t>(nt.OptionalHeader.ImageBase);
  }();
  return base;
}

}  // namespace

uintptr_t ModuleBase(const void* address) {
  void* base = nullptr;
  RtlPcToFileHeader(const_cast<void*>(address), &base);
  return reinterpret_cast<uintptr_t>(base);
}

uintptr_t CodeAddress(const void* address) {
  return reinterpret_cast<uintptr_t>(address);
}

bool InProgramImage(const void* address) {
  return ModuleBase(address) == LoadedBase();
}

const char* DebugInfoFile() {
  if (programFile[0] == '\0') GetModuleFileNameA(nullptr, programFile, MAX_PATH);
  return programFile;
}

uintptr_t DebugInfoAddress(uintptr_t address) {
  return address - LoadedBase() + LinkedBase();
}

StackBounds MainStackBounds() {
  // Taken on the main thread at start-up: the report may be written on another.
  static const StackBounds stack = [] {
    ULONG_PTR low = 0;
    ULONG_PTR high = 0;
    GetCurrentThreadStackLimits(&low, &high);
    return StackBounds{low, high};
  }();
  return stack;
}
