#include "ErrorCodes.h"
#include "FatalError.h"
#include "IoResult.h"
#include "RangeCheck.h"

thread_local uint16_t InOutRes = 0;

uint16_t IOResult() {
  const uint16_t result = InOutRes;
  InOutRes = 0;
  return result;
}

void IOCheckFailed() {
  const uint16_t code = InOutRes;
  InOutRes = 0;
  RaiseFatalError(code, __builtin_return_address(0));
}

void RangeError() {
  RaiseFatalError(RuntimeError::kRangeCheck, __builtin_return_address(0));
}
