// The numbers of run-time errors: the I/O results that InOutRes holds and the
// codes of the fatal errors, each the exit status of a run that ends with it.
#pragma once

#include <cstdint>

namespace RuntimeError {
enum Code : uint16_t {
  // Operating-system errors that keep their own number.
  kFileNotFound = 2,
  kPathNotFound = 3,
  kAccessDenied = 5,
  kInvalidFileName = 123,
  // I/O results of the run-time library.
  kDiskWriteError = 101,  // a write transferred fewer bytes than asked
  kFileNotAssigned = 102,
  kFileNotOpen = 103,
  kFileNotOpenForInput = 104,
  kFileNotOpenForOutput = 105,
  kInvalidNumericFormat = 106,
  // Device errors, from the write-protected disk to the general failure.
  kDiskWriteProtected = 150,
  kHardwareFailure = 162,
  // Fatal errors.
  kDivisionByZero = 200,
  kRangeCheck = 201,
  kStackOverflow = 202,
  kOutOfMemory = 203,
  kFloatOverflow = 205,
  kFloatUnderflow = 206,
  kFloatInvalid = 207,
  kIntegerOverflow = 215,
  kAccessViolation = 216,
  kControlC = 217,
  kPrivilegedInstruction = 218,
  kOtherFault = 255,
};
}  // namespace RuntimeError
