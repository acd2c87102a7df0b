// Operating-system errors as I/O results. Errors are first brought onto the
// Windows numbering, the program's one numbering of system errors, and then
// translated into the I/O result codes that InOutRes holds.
#pragma once

#include <cstdint>

/// The Windows numbers of the system errors the program meets.
namespace WindowsError {
enum Code : uint32_t {
  kFileNotFound = 2,
  kPathNotFound = 3,
  kTooManyOpenFiles = 4,
  kAccessDenied = 5,
  kInvalidHandle = 6,
  kNotEnoughMemory = 8,
  kWriteProtect = 19,
  kNotReady = 21,
  kGeneralFailure = 31,
  kSharingViolation = 32,
  kInvalidParameter = 87,
  kBrokenPipe = 109,
  kDiskFull = 112,
  kDirectoryNotEmpty = 145,
  kAlreadyExists = 183,
  kFilenameTooLong = 206,
  kFileTooLarge = 223,
  kCantResolveFilename = 1921,
};
}  // namespace WindowsError

/// The I/O result code for a Windows-numbered system error.
uint16_t TranslateOsError(uint32_t windowsError);
