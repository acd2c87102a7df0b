#include "CrtDriver.h"

#include "Crt.h"
#include "LineInput.h"
#include "runtime/IoResult.h"
#include "runtime/StandardStreams.h"

namespace {

void CrtWrite(TextFile& file) {
  ConsoleDevice& device = CrtDevice();
  Point cursor = device.Cursor();
  WriteStr(cursor, std::string_view(file.buffer, file.bufferPos));
  device.SetCursor(cursor);
  device.Present();
  file.bufferPos = 0;
}

// Input's flush does nothing.
void CrtReturn(TextFile&) {}

// Closing only marks the file closed, which the text-stream routines do themselves.
void CrtClose(TextFile&) {}

void CrtOpen(TextFile& file) {
  if (file.mode == FileMode::Output) {
    file.transfer = CrtWrite;
    file.flush = CrtWrite;
  } else {
    file.transfer = CrtRead;
    file.flush = CrtReturn;
  }
  file.close = CrtClose;
}

}  // namespace

void AssignCrt(TextFile& file) {
  file = TextFile{};
  file.bound = true;
  file.open = CrtOpen;
}

void CrtTakeOverStreams() {
  AssignCrt(Output);
  Rewrite(Output);
  IOCheck();
  AssignCrt(Input);
  Reset(Input);
  IOCheck();
}

void CrtShowPendingOutput() {
  if (Output.mode == FileMode::Output && Output.bufferPos > 0) Output.transfer(Output);
}
