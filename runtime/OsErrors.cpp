#include "OsErrors.h"

#include "ErrorCodes.h"

uint16_t TranslateOsError(uint32_t windowsError) {
  switch (windowsError) {
    case WindowsError::kSharingViolation:
    case WindowsError::kDirectoryNotEmpty:
    case WindowsError::kAlreadyExists:
      return RuntimeError::kAccessDenied;
    case WindowsError::kDiskFull:
      return RuntimeError::kDiskWriteError;
    case WindowsError::kFilenameTooLong:
      return RuntimeError::kPathNotFound;
    default:
      // The device errors, write-protected disk up to general failure, keep their order.
      if (windowsError >= WindowsError::kWriteProtect &&
          windowsError <= WindowsError::kGeneralFailure)
        return static_cast<uint16_t>(RuntimeError::kDiskWriteProtected + windowsError -
                                     WindowsError::kWriteProtect);
      return static_cast<uint16_t>(windowsError);
  }
}
