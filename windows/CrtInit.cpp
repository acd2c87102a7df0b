#include <windows.h>

#include "HandleTranscriptDevice.h"
#include "Win32Console.h"
#include "console/CrtDriver.h"
#include "console/CrtStartup.h"
#include "console/CrtState.h"
#include "runtime/FatalError.h"

namespace {

HANDLE StandardInput() {
  return GetStdHandle(STD_INPUT_HANDLE);
}

HANDLE StandardOutput() {
  return GetStdHandle(STD_OUTPUT_HANDLE);
}

Win32Console& Console() {
  static Win32Console device(StandardInput(), StandardOutput());
  return device;
}

HandleTranscriptDevice& Transcript() {
  static HandleTranscriptDevice device(StandardInput(), StandardOutput());
  return device;
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode);
}

void FinishTranscript() {
  CrtShowPendingOutput();
  Transcript().Finish();
}

}  // namespace

void CrtInit() {
  // Without a console on both standard handles, the screen is kept in memory
  // and leaves as plain text. The exit step is registered before the unit
  // takes the streams over, so that every way out after this point shows
  // what was written.
  if (IsConsole(StandardInput()) && IsConsole(StandardOutput())) {
    AddExitStep(CrtShowPendingOutput);
    CrtAttach(Console());
  } else {
    AddExitStep(FinishTranscript);
    CrtAttach(Transcript());
  }
  CrtTakeOverStreams();
}
