#include "runtime/SystemFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/ErrorCodes.h"
#include "runtime/IoResult.h"
#include "runtime/Win1250.h"
#include "runtime/posix/Errno.h"
#include "runtime/posix/WholeCalls.h"

namespace {

// For a missing file: whether the directory part of the path is missing instead.
bool DirectoryMissing(const char* path) {
  const char* slash = std::strrchr(path, '/');
  if (slash == nullptr || slash == path) return false;
  char directory[4 * ShortString::kCapacity + 1];
  const size_t length = static_cast<size_t>(slash - path);
  std::memcpy(directory, path, length);
  directory[length] = '\0';
  struct stat info;
  return stat(directory, &info) != 0 || !S_ISDIR(info.st_mode);
}

void FailFromErrno(int error, const char* path = nullptr) {
  InOutRes = IoResultFromErrno(error, error == ENOENT && path != nullptr && DirectoryMissing(path));
}

// Opens for reading only. Only regular files open: a directory, a FIFO or a
// device would block or mean nothing as a matrix file. While the file is open
// it carries a shared lock, so cooperating writers keep away from it.
void OpenForReading(TextFile& file, const char* path) {
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return FailFromErrno(errno, path);
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    InOutRes = RuntimeError::kAccessDenied;
    return;
  }
  struct flock lock = {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  if (fcntl(fd, F_SETFL, 0) != 0 || fcntl(fd, F_SETLK, &lock) != 0) {
    const int error = errno;
    close(fd);
    return FailFromErrno(error);
  }
  file.handle = fd;
}

void OpenForWriting(TextFile& file, const char* path) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return FailFromErrno(errno, path);
  file.handle = fd;
}

// The name of `file` as the file system takes it: Windows-1250 turned into
// UTF-8, and the backslash turned into "/" (both separate directories).
// Returns false when the name cannot name a file (it holds a NUL byte).
bool FileSystemName(const ShortString& name, char (&path)[4 * ShortString::kCapacity + 1]) {
  int length = 0;
  for (char c : name.View()) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte == 0) return false;
    const char32_t codePoint = byte == '\\' ? U'/' : Win1250ToUnicode(byte);
    // The five undefined bytes have no character of their own: U+FFFD stands for them.
    length += EncodeUtf8(codePoint != 0 ? codePoint : U'\uFFFD', path + length);
  }
  path[length] = '\0';
  return true;
}

}  // namespace

void SystemOpen(TextFile& file) {
  char path[4 * ShortString::kCapacity + 1];
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
  ssize_t count;
  do count = read(file.handle, file.buffer, TextFile::kBufferSize);
  while (count < 0 && errno == EINTR);
  file.bufferPos = 0;
  file.bufferEnd = count > 0 ? static_cast<uint16_t>(count) : 0;
  // A broken pipe ends the data like the end of a file.
  if (count < 0 && errno != EPIPE) FailFromErrno(errno);
}

void SystemWrite(TextFile& file) {
  const std::string_view bytes(file.buffer, file.bufferPos);
  file.bufferPos = 0;
  const int error = WriteAll(file.handle, bytes);
  if (error < 0) InOutRes = RuntimeError::kDiskWriteError;
  if (error > 0) FailFromErrno(error);
}

void SystemClose(TextFile& file) {
  if (close(file.handle) != 0 && errno != EINTR) FailFromErrno(errno);
  file.handle = -1;
}

int StandardHandle(int number) {
  return number;
}
