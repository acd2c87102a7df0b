#include <cerrno>

#include "runtime/OsErrors.h"

namespace {

enum WindowsError : uint32_t {
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

}  // namespace

uint32_t WindowsErrorFromErrno(int posixError, bool missingDirectory) {
  switch (posixError) {
    case ENOENT:
      return missingDirectory ? kPathNotFound : kFileNotFound;
    case ENOTDIR:
      return kPathNotFound;
    case EMFILE:
    case ENFILE:
      return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kAccessDenied;
    case EBADF:
      return kInvalidHandle;
    case ENOMEM:
      return kNotEnoughMemory;
    case EROFS:
      return kWriteProtect;
    case ENXIO:
    case ENODEV:
      return kNotReady;
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
      return kSharingViolation;
    case EINVAL:
      return kInvalidParameter;
    case EPIPE:
      return kBrokenPipe;
    case ENOSPC:
    case EDQUOT:
      return kDiskFull;
    case ENOTEMPTY:
      return kDirectoryNotEmpty;
    case EEXIST:
      return kAlreadyExists;
    case ENAMETOOLONG:
      return kFilenameTooLong;
    case EFBIG:
      return kFileTooLarge;
    case ELOOP:
      return kCantResolveFilename;
    default:
      return kGeneralFailure;
  }
}
