// Reads keys through the console unit on the process's terminal and appends
// each code ReadKey gives, one decimal number a line, to the file named by the
// first argument; the line "ready" goes first, once the terminal is set up.
// Ends after as many codes as the second argument says.
#include <cstdlib>
#include <fstream>

#include "console/CrtStartup.h"
#include "console/Keyboard.h"
#include "runtime/FatalError.h"
#include "runtime/StandardStreams.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::ofstream codes(argv[1]);
  const int count = std::atoi(argv[2]);
  SysInit();
  CrtInit();
  codes << "ready" << std::endl;
  for (int i = 0; i < count; ++i) codes << static_cast<int>(ReadKey()) << std::endl;
  NormalEnd();
}
