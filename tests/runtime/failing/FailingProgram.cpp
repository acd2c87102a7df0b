// A program on the run-time library alone that ends the way its argument says,
// each failure in a routine called from main. Run by FailingReportTest, which
// finds the expected line numbers by the marker comments "@name".
#include <cstdint>
#include <cstring>

#include "runtime/FatalError.h"
#include "runtime/IoResult.h"
#include "runtime/RangeCheck.h"
#include "runtime/StandardStreams.h"
#include "runtime/TextWrite.h"

volatile int32_t sink;

[[gnu::noinline]] void FAILIO() {
  TextFile never;
  Reset(never);
  IOCheck();  // @io-check
}

[[gnu::noinline]] void FAILRANGE(int32_t value) {
  sink = CheckedInt16(value);  // @range-check
}

[[gnu::noinline]] void FAILRUN() {
  RunError(300);  // @run-error
}

// Several checks of one kind in one routine: each must report its own line.
[[gnu::noinline]] void SEVERAL(int failing) {
  int32_t values[4] = {1, 2, 3, 4};
  values[failing] = 70000;
  const volatile int32_t* read = values;
  int16_t total = CheckedInt16(read[0]);   // @several-0
  total += CheckedInt16(read[1]);          // @several-1
  sink = CheckedIndex(read[2], 0, 9);      // @several-2
  total += CheckedInt16(read[3] + total);  // @several-3
  Write(StdOut, total);
}

[[gnu::noinline]] void DIVIDE(int32_t divisor) {
  sink = 1000 / divisor;  // @divide
}

[[gnu::noinline]] void POKE(int* target) {
  *target = 1;  // @poke
}

[[gnu::noinline]] int RECURSE(int depth) {
  volatile char frame[256];
  frame[0] = static_cast<char>(depth);
  if (depth == INT32_MAX) return 0;
  return RECURSE(depth + 1) + frame[0];  // @recurse
}

// Asks for more than half the address space, which no allocation grants on
// any machine, a 32-bit one too: no object is larger than PTRDIFF_MAX bytes.
// The allocation function is called directly: a new-expression whose result
// is unused may be left out.
[[gnu::noinline]] void ALLOCATE() {
  volatile size_t size = SIZE_MAX / 2 + 1;
  void* block = ::operator new(size);  // @allocate
  sink = static_cast<volatile char*>(block)[0];
  ::operator delete(block);
}

// Waits on standard input, for the interrupt from a terminal.
[[gnu::noinline]] void WAITKEY() {
  WriteLn(StdOut, "ready");
  int32_t value = ReadInteger(Input);
  sink = value;
}

int main(int argc, char** argv) {
  SysInit();
  const char* word = argc > 1 ? argv[1] : "";
  volatile int32_t zero = 0;
  int* volatile nowhere = nullptr;
  if (std::strcmp(word, "io") == 0) FAILIO();             // @call-io
  if (std::strcmp(word, "range") == 0) FAILRANGE(40000);  // @call-range
  if (std::strcmp(word, "runerror") == 0) FAILRUN();      // @call-runerror
  if (std::strcmp(word, "divide") == 0) DIVIDE(zero);     // @call-divide
  if (std::strcmp(word, "poke") == 0) POKE(nowhere);      // @call-poke
  if (std::strcmp(word, "recurse") == 0) sink = RECURSE(0);
  if (std::strcmp(word, "wait") == 0) WAITKEY();
  if (std::strcmp(word, "allocate") == 0) ALLOCATE();  // @call-allocate
  for (int failing = 0; failing < 4; ++failing) {
    const char several[] = {'s', 'e', 'v', 'e', 'r', 'a', 'l', static_cast<char>('0' + failing), 0};
    if (std::strcmp(word, several) == 0) SEVERAL(failing);  // @call-several
  }
  NormalEnd();
}
