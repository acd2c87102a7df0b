#include "FileDriver.h"

#include "SystemFiles.h"

namespace {

// A plain file's flush at the end of a statement, and a standard handle's open.
void DoNothing(TextFile&) {}

}  // namespace

void BindFileDriver(TextFile& file) {
  file.open = SystemOpen;
  file.close = SystemClose;
  // The transfer and flush depend on the mode; both are set when the file opens.
  file.transfer = [](TextFile& f) { f.mode == FileMode::Input ? SystemRead(f) : SystemWrite(f); };
  file.flush = DoNothing;
}

void OpenStandardHandle(TextFile& file, int handle, FileMode mode, bool flushEveryWrite) {
  file = TextFile{};
  file.bound = true;
  file.handle = StandardHandle(handle);
  file.mode = mode;
  file.open = DoNothing;
  file.close = SystemClose;
  file.transfer = mode == FileMode::Input ? SystemRead : SystemWrite;
  file.flush = flushEveryWrite ? SystemWrite : DoNothing;
}
