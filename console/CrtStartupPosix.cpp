#include <unistd.h>

#include "Crt.h"
#include "CrtStartup.h"
#include "TerminalDevice.h"
#include "runtime/FatalError.h"

namespace {

TerminalDevice& ProcessDevice() {
  static TerminalDevice device(STDIN_FILENO, STDOUT_FILENO);
  return device;
}

void ShutdownProcessDevice() {
  ProcessDevice().Shutdown();
}

}  // namespace

void CrtInit() {
  TerminalDevice& device = ProcessDevice();
  device.Start();
  // Registered before the unit takes the streams over, so that every way out
  // after this point gives the terminal back.
  AddExitStep(ShutdownProcessDevice);
  CrtStart(device);
}
