#include <unistd.h>

#include "FdTranscriptDevice.h"
#include "TerminalDevice.h"
#include "console/CrtDriver.h"
#include "console/CrtStartup.h"
#include "console/CrtState.h"
#include "runtime/FatalError.h"

namespace {

TerminalDevice& Terminal() {
  static TerminalDevice device(STDIN_FILENO, STDOUT_FILENO);
  return device;
}

FdTranscriptDevice& Transcript() {
  static FdTranscriptDevice device(STDIN_FILENO, STDOUT_FILENO);
  return device;
}

void ShutdownTerminal() {
  CrtShowPendingOutput();
  Terminal().Shutdown();
}

void FinishTranscript() {
  CrtShowPendingOutput();
  Transcript().Finish();
}

}  // namespace

void CrtInit() {
  // Without a terminal to draw on, the screen is kept in memory and leaves as
  // plain text. The exit step is registered before the device starts, so that
  // every way out from here on, a signal during the start-up too, closes it.
  if (isatty(STDOUT_FILENO)) {
    AddExitStep(ShutdownTerminal);
    Terminal().Start();
    CrtAttach(Terminal());
  } else {
    AddExitStep(FinishTranscript);
    CrtAttach(Transcript());
  }
  CrtTakeOverStreams();
}
