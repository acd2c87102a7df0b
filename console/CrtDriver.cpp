// The console driver of the text streams: Output's buffer is placed on the
// screen by the character rules, Input's buffer is filled by the line editor.
#include "Crt.h"
#include "LineInput.h"

namespace {

void CrtWrite(TextFile& file) {
  ConsoleDevice& device = CrtDevice();
  const uint32_t savedCodePage = device.OutputCodePage();
  device.SetOutputCodePage(kTextCodePage);
  Point cursor = device.Cursor();
  WriteStr(cursor, std::string_view(file.buffer, file.bufferPos));
  device.SetCursor(cursor);
  device.Present();
  device.SetOutputCodePage(savedCodePage);
  file.bufferPos = 0;
}

// Input's flush does nothing; closing only marks the file closed, which the
// text-stream routines do themselves.
void CrtReturn(TextFile&) {}

void CrtOpen(TextFile& file) {
  if (file.mode == FileMode::Output) {
    file.transfer = CrtWrite;
    file.flush = CrtWrite;
  } else {
    file.transfer = CrtRead;
    file.flush = CrtReturn;
  }
  file.close = CrtReturn;
}

}  // namespace

void AssignCrt(TextFile& file) {
  file = TextFile{};
  file.bound = true;
  file.open = CrtOpen;
}
