// Counts the bytes the terminal device sends for a scripted page: 25 rows
// written line by line through the console unit until the page has scrolled
// ten times. Prints them next to the bytes a full redraw at every flush would
// send, the cost the device's diffing and scroll region avoid.
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "console/Crt.h"
#include "console/CrtDriver.h"
#include "posix/TerminalDevice.h"
#include "runtime/StandardStreams.h"
#include "runtime/TextWrite.h"
#include "terminal/TerminalRenderer.h"

namespace {

constexpr int kRows = 25;
constexpr int kScrolls = 10;

// The terminal device, also adding up what a full redraw would cost at each Present.
class MeasuredDevice : public TerminalDevice {
 public:
  using TerminalDevice::TerminalDevice;

  void Present() override {
    TerminalDevice::Present();
    ++presents_;
    TerminalRenderer fresh(Grid().Width(), Grid().Height());
    fresh.Claim({1, 1, Grid().Width(), Grid().Height()});
    std::string redraw;
    fresh.DrawCells(Grid(), redraw);
    fresh.PlaceCursor(Cursor(), redraw);
    fullRedrawBytes_ += redraw.size();
  }

  int Presents() const { return presents_; }
  size_t FullRedrawBytes() const { return fullRedrawBytes_; }

 private:
  int presents_ = 0;
  size_t fullRedrawBytes_ = 0;
};

}  // namespace

int main() {
  FILE* sink = tmpfile();
  if (sink == nullptr) return 1;
  SysInit();
  MeasuredDevice device(STDIN_FILENO, fileno(sink));
  device.Start();
  CrtAttach(device);
  CrtTakeOverStreams();

  Window(1, 1, 80, kRows);
  TextBackground(15);
  TextColor(0);
  ClrScr();
  for (int row = 1; row <= kRows + kScrolls; ++row) {
    HighVideo();
    Write(Output, "Row ", Field{row, 2}, ": ");
    LowVideo();
    WriteLn(Output, "the quick brown fox jumps over the lazy dog, line after line");
  }
  device.Shutdown();

  struct stat written {};
  fstat(fileno(sink), &written);
  printf("presents:                        %d\n", device.Presents());
  printf("bytes written to the terminal:   %lld\n", static_cast<long long>(written.st_size));
  printf("full redraw at every flush:      %zu\n", device.FullRedrawBytes());
  return 0;
}
