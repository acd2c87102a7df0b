// Reads keys through the console unit on the process's terminal and appends
// each code ReadKey gives, one decimal number a line, to the file named by the
// first argument; the line "ready" goes first, once the terminal is set up.
// After as many codes as the second argument says it ends normally, or with a
// run-time error when the third argument is "fatal".
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "console/CrtStartup.h"
#include "console/Keyboard.h"
#include "runtime/FatalError.h"
#include "runtime/StandardStreams.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  constexpr uint16_t kInvalidNumericFormat = 106;
  std::ofstream codes(argv[1]);
  const int count = std::atoi(argv[2]);
  const bool fatal = std::string_view(argv[3]) == "fatal";
  SysInit();
  CrtInit();
  codes << "ready" << std::endl;
  for (int i = 0; i < count; ++i) codes << static_cast<int>(ReadKey()) << std::endl;
  if (fatal) RunError(kInvalidNumericFormat);
  NormalEnd();
}
