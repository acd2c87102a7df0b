#include "FatalError.h"

#include <csignal>
#include <cstdlib>

#include "Faults.h"
#include "IoResult.h"
#include "Report.h"
#include "StandardStreams.h"

uint16_t ErrorCode = 0;
const void* ErrorAddr = nullptr;
bool ErrorAtFault = false;

namespace {

constexpr int kMaxExitSteps = 8;
ExitStep exitSteps[kMaxExitSteps];
int exitStepCount = 0;
int exitStatus = 0;
volatile sig_atomic_t ending = 0;

// Hands whatever an output stream still buffers to its driver; failures are ignored.
void FlushAtExit(TextFile& file) {
  if (file.mode == FileMode::Output && file.bufferPos > 0) file.transfer(file);
  InOutRes = 0;
}

// Claims the end of the run for the caller; false when it has begun already.
// Interruptions are held first, so nothing can come between the claim and
// the exit: a signal before the hold ends the run itself and never returns.
bool ClaimEndOfRun() {
  HoldInterruptions();
  if (ending) return false;
  ending = 1;
  return true;
}

[[noreturn]] void EndOfRun() {
  while (exitStepCount > 0) exitSteps[--exitStepCount]();
  if (ErrorAddr != nullptr) WriteReport(StdErr);
  FlushAtExit(Output);
  FlushAtExit(ErrOutput);
  FlushAtExit(StdOut);
  FlushAtExit(StdErr);
  std::_Exit(exitStatus);
}

}  // namespace

void AddExitStep(ExitStep step) {
  if (exitStepCount < kMaxExitSteps) exitSteps[exitStepCount++] = step;
}

bool RunEnding() {
  return ending != 0;
}

void RaiseFatalError(uint16_t code, const void* address, bool atFault) {
  // A fault or a fatal error inside the sequence itself ends the process at once.
  if (!ClaimEndOfRun()) std::_Exit(exitStatus);
  ErrorCode = code;
  ErrorAddr = address;
  ErrorAtFault = atFault;
  exitStatus = code;
  EndOfRun();
}

void RunError(uint16_t code) {
  RaiseFatalError(code, __builtin_return_address(0));
}

void NormalEnd() {
  if (!ClaimEndOfRun()) std::_Exit(exitStatus);
  EndOfRun();
}
