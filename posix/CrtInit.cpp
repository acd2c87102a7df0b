#include <unistd.h>

#include <optional>

#include "FdTranscriptDevice.h"
#include "TerminalDevice.h"
#include "Terminfo.h"
#include "console/CrtDriver.h"
#include "console/CrtStartup.h"
#include "console/CrtState.h"
#include "runtime/FatalError.h"

namespace {

// Made at start-up on a terminal that can be drawn on.
std::optional<TerminalDevice>& Terminal() {
  static std::optional<TerminalDevice> device;
  return device;
}

FdTranscriptDevice& Transcript() {
  static FdTranscriptDevice device(STDIN_FILENO, STDOUT_FILENO);
  return device;
}

void ShutdownTerminal() {
  CrtShowPendingOutput();
  Terminal()->Shutdown();
}

void FinishTranscript() {
  CrtShowPendingOutput();
  Transcript().Finish();
}

// The terminal on standard output when it can be drawn on: one whose cursor
// its description can address.
std::optional<TerminalDescription> DrawableTerminal() {
  if (!isatty(STDOUT_FILENO)) return std::nullopt;
  TerminalDescription description = DescribeTerminal(STDOUT_FILENO);
  if (!description.addressesCursor) return std::nullopt;
  return description;
}

}  // namespace

void CrtInit() {
  // Without a terminal to draw on, the screen is kept in memory and leaves as
  // plain text. The exit step is registered before the device starts, so that
  // every way out from here on, a signal during the start-up too, closes it.
  if (std::optional<TerminalDescription> description = DrawableTerminal()) {
    Terminal().emplace(STDIN_FILENO, STDOUT_FILENO, std::move(*description));
    AddExitStep(ShutdownTerminal);
    Terminal()->Start();
    CrtAttach(*Terminal());
  } else {
    AddExitStep(FinishTranscript);
    CrtAttach(Transcript());
  }
  CrtTakeOverStreams();
}
