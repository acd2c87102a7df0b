#include "FatalError.h"

#include <cstdlib>

#include "IoResult.h"
#include "Report.h"
#include "StandardStreams.h"

uint16_t ErrorCode = 0;
const void* ErrorAddr = nullptr;
void* const* ErrorFrame = nullptr;
bool ErrorAtFault = false;

namespace {

constexpr int kMaxExitSteps = 8;
ExitStep exitSteps[kMaxExitSteps];
int exitStepCount = 0;
int exitStatus = 0;
bool ending = false;

// Hands whatever an output stream still buffers to its driver; failures are ignored.
void FlushAtExit(TextFile& file) {
  if (file.mode == FileMode::Output && file.bufferPos > 0) file.transfer(file);
  InOutRes = 0;
}

[[noreturn]] void EndOfRun() {
  // A fault or a fatal error inside the sequence itself ends the process at once.
  if (ending) std::_Exit(exitStatus);
  ending = true;
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

void RaiseFatalError(uint16_t code, const void* address, void* const* frame, bool atFault) {
  if (!ending) {
    ErrorCode = code;
    ErrorAddr = address;
    ErrorFrame = frame;
    ErrorAtFault = atFault;
    exitStatus = code;
  }
  EndOfRun();
}

void RunError(uint16_t code) {
  RaiseFatalError(code, __builtin_return_address(0), CallerFrame());
}

void NormalEnd() {
  EndOfRun();
}
