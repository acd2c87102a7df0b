// ARM without a divide instruction divides in the compiler's library, whose
// division routines end on a zero divisor by a jump to __aeabi_idiv0 (or
// __aeabi_ldiv0 for 64 bits), with their caller's return point still in the
// link register. The library's own raises SIGFPE, from code without unwind
// tables that the caller walk cannot leave; the ARM run-time ABI lets a
// program replace both, so these end the run with 200 at the division's call.
#include "runtime/ErrorCodes.h"
#include "runtime/FatalError.h"

extern "C" [[noreturn, gnu::noinline]] int __aeabi_idiv0(int) {
  RaiseFatalError(RuntimeError::kDivisionByZero, __builtin_return_address(0));
}

extern "C" [[noreturn, gnu::noinline]] long long __aeabi_ldiv0(long long) {
  RaiseFatalError(RuntimeError::kDivisionByZero, __builtin_return_address(0));
}
