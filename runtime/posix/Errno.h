// POSIX errno values brought onto the Windows numbering of system errors.
#pragma once

#include <cstdint>

#include "runtime/OsErrors.h"

/// The Windows-numbered error for a POSIX errno value; `missingDirectory` tells
/// a missing file (2) from a missing directory on its path (3) for ENOENT.
uint32_t WindowsErrorFromErrno(int posixError, bool missingDirectory = false);

/// Both steps at once: the I/O result code for a POSIX errno value.
inline uint16_t IoResultFromErrno(int posixError, bool missingDirectory = false) {
  return TranslateOsError(WindowsErrorFromErrno(posixError, missingDirectory));
}
