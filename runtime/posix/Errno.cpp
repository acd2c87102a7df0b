#include "runtime/posix/Errno.h"

#include <cerrno>

uint32_t WindowsErrorFromErrno(int posixError, bool missingDirectory) {
  using namespace WindowsError;
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
