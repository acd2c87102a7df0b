// Reads keys through the console unit on the process's terminal and appends
// each code ReadKey gives, one decimal number a line, to the file named by the
// first argument; the line "ready" goes first, once the terminal is set up.
// After as many codes as the second argument says it ends normally, or with a
// run-time error when the third argument is "fatal". With the second argument
// "line", reads one edited line from Input instead and writes its bytes' codes.
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "console/CrtStartup.h"
#include "console/Keyboard.h"
#include "runtime/FatalError.h"
#include "runtime/StandardStreams.h"
#include "runtime/TextRead.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) return 2;
  constexpr uint16_t kInvalidNumericFormat = 106;
  std::ofstream codes(argv[1]);
  const std::string_view what = argv[2];
  const bool fatal = argc == 4 && std::string_view(argv[3]) == "fatal";
  SysInit();
  CrtInit();
  codes << "ready" << std::endl;
  if (what == "line") {
    ShortString line;
    ReadLn(Input, line);
    for (char byte : line.View())
      codes << static_cast<int>(static_cast<uint8_t>(byte)) << std::endl;
  } else {
    for (int i = std::atoi(argv[2]); i > 0; --i) codes << static_cast<int>(ReadKey()) << std::endl;
  }
  if (fatal) RunError(kInvalidNumericFormat);
  NormalEnd();
}
