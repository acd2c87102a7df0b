#include "runtime/SystemFiles.h"

#include <io.h>
#include <windows.h>

#include "runtime/ErrorCodes.h"
#include "runtime/IoResult.h"
#include "runtime/OsErrors.h"
#include "runtime/Win1250.h"

namespace {

// A file's handle keeps a kernel handle: those fit in 32 bits, sign-extended.
HANDLE HandleOf(const TextFile& file) {
  return reinterpret_cast<HANDLE>(static_cast<intptr_t>(file.handle));
}

int HandleNumber(HANDLE handle) {
  return static_cast<int>(reinterpret_cast<intptr_t>(handle));
}

void FailFromLastError() {
  InOutRes = TranslateOsError(GetLastError());
}

// The name of `file` as the file system takes it: Windows-1250 turned into
// UTF-16, whatever code page the system runs in. False when the name cannot
// name a file (it holds a NUL byte).
bool FileSystemName(const ShortString& name, wchar_t (&path)[ShortString::kCapacity + 1]) {
  int length = 0;
  for (char c : name.View()) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte == 0) return false;
    // The five undefined bytes have no character of their own: U+FFFD stands for them.
    const char32_t codePoint = Win1250ToUnicode(byte);
    path[length++] = static_cast<wchar_t>(codePoint != 0 ? codePoint : U'\uFFFD');
  }
  path[length] = L'\0';
  return true;
}

// Opens for reading only, shared with other readers only. Only disk files
// open: a device or a pipe would block or mean nothing as a matrix file.
void OpenForReading(TextFile& file, const wchar_t* path) {
  HANDLE handle = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FailFromLastError();
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    InOutRes = RuntimeError::kAccessDenied;
    return;
  }
  file.handle = HandleNumber(handle);
}

void OpenForWriting(TextFile& file, const wchar_t* path) {
  HANDLE handle = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FailFromLastError();
  file.handle = HandleNumber(handle);
}

}  // namespace

void SystemOpen(TextFile& file) {
  wchar_t path[ShortString::kCapacity + 1];
  if (!FileSystemName(file.name, path)) {
    InOutRes = RuntimeError::kInvalidFileName;
    return;
  }
  if (file.mode == FileMode::Input)
    OpenForReading(file, path);
  else
    OpenForWriting(file, path);
}

void SystemRead(TextFile& file) {
  DWORD count = 0;
  const bool read = ReadFile(HandleOf(file), file.buffer, TextFile::kBufferSize, &count, nullptr);
  file.bufferPos = 0;
  file.bufferEnd = read ? static_cast<uint16_t>(count) : 0;
  // A broken pipe ends the data like the end of a file.
  if (!read && GetLastError() != ERROR_BROKEN_PIPE) FailFromLastError();
}

void SystemWrite(TextFile& file) {
  const char* next = file.buffer;
  DWORD left = file.bufferPos;
  file.bufferPos = 0;
  while (left > 0) {
    DWORD count = 0;
    if (!WriteFile(HandleOf(file), next, left, &count, nullptr)) return FailFromLastError();
    if (count == 0) {
      InOutRes = RuntimeError::kDiskWriteError;
      return;
    }
    next += count;
    left -= count;
  }
}

void SystemClose(TextFile& file) {
  if (!CloseHandle(HandleOf(file))) FailFromLastError();
  file.handle = -1;
}

// The C run-time's descriptors 0, 1 and 2 stand for the standard handles.
int StandardHandle(int number) {
  return HandleNumber(reinterpret_cast<HANDLE>(_get_osfhandle(number)));
}
