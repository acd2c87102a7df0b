// Feeds arbitrary bytes to the matrix file reader: the counts, the rows and the
// line skips in the reading phase's order, through a text stream on a file.
// Every input must end in a value or a numbered I/O result; a crash, a hang or
// a sanitizer report is a fault. The reading phase ends the run at the first
// I/O result or out-of-range value; here the same conditions end the input.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "runtime/IoResult.h"
#include "runtime/TextFile.h"

namespace {

constexpr int32_t kLastIndex = 9;

// Every error number, the exit status of a run it ends, fits in a byte.
bool IsNumberedResult(uint16_t result) {
  return result >= 1 && result <= UINT8_MAX;
}

int MatrixFile() {
  static const int fd = memfd_create("matrix", 0);
  return fd;
}

bool Fits16(int32_t value) {
  return value >= INT16_MIN && value <= INT16_MAX;
}

// Reads like the reading phase; false when it would end the run there.
bool ReadMatrix(TextFile& file) {
  const int32_t rows = ReadInteger(file);
  if (InOutRes != 0 || !Fits16(rows)) return false;
  const int32_t columns = ReadInteger(file);
  if (InOutRes != 0 || !Fits16(columns)) return false;
  ReadLineSkip(file);
  for (int32_t i = 1; i <= rows && InOutRes == 0; ++i) {
    for (int32_t j = 1; j <= columns; ++j) {
      const int32_t element = ReadInteger(file);
      if (InOutRes != 0 || i > kLastIndex || j > kLastIndex || !Fits16(element)) return false;
    }
    ReadLineSkip(file);
  }
  return InOutRes == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int fd = MatrixFile();
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) abort();
  char name[64];
  std::snprintf(name, sizeof name, "/proc/self/fd/%d", fd);

  TextFile file;
  Assign(file, ShortString(name));
  Reset(file);
  if (IOResult() != 0) abort();
  ReadMatrix(file);
  const uint16_t result = IOResult();
  if (result != 0 && !IsNumberedResult(result)) abort();
  Close(file);
  if (IOResult() != 0) abort();
  return 0;
}
