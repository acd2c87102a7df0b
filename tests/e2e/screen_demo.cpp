// Draws a known screen through the console unit on the process's terminal:
// a coloured window with a wrapped line and scrolled lines, and a full-width
// window that scrolls; then waits for a key, shows it, and ends.
#include "console/Crt.h"
#include "console/CrtStartup.h"
#include "console/Keyboard.h"
#include "runtime/FatalError.h"
#include "runtime/StandardStreams.h"
#include "runtime/TextWrite.h"
#include "runtime/Win1250.h"

namespace {

constexpr uint8_t kBlue = 1;
constexpr uint8_t kGreen = 2;
constexpr uint8_t kLightGray = 7;
constexpr uint8_t kYellow = 14;
constexpr uint8_t kWhite = 15;

void DrawInnerWindow() {
  Window(11, 4, 50, 12);
  TextBackground(kBlue);
  TextColor(kLightGray);
  ClrScr();
  for (int line = 1; line <= 10; ++line) WriteLn(Output, "Line ", Field{line, 2});
  Write(Output, "Plain ");
  HighVideo();
  Write(Output, "bright");
  LowVideo();
  WriteLn(Output, " plain ", Win1250Text("árvíztűrő"));
  TextColor(kYellow);
  Write(Output, "0123456789012345678901234567890123456789wrapped-end");
}

void DrawBottomWindow() {
  Window(1, 20, 80, 23);
  TextBackground(kGreen);
  TextColor(kWhite);
  ClrScr();
  for (int line = 1; line <= 6; ++line) WriteLn(Output, "Bottom ", line);
  Write(Output, "Ready");
}

}  // namespace

int main() {
  SysInit();
  CrtInit();
  DrawInnerWindow();
  DrawBottomWindow();
  const uint8_t key = ReadKey();
  Write(Output, " key ", static_cast<char>(key));
  NormalEnd();
}
