// The keyboard end to end: a program reading keys with ReadKey runs on a
// pseudo-terminal, the bytes a terminal sends for keys are written to it, and
// the codes it read are compared; and a program waiting for a key is measured
// for the processor time and wake-ups the wait costs.
#include <gtest/gtest.h>
#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "KeyCodesProgram.h"

namespace {

using namespace std::chrono_literals;

struct ProcessCost {
  bool asleep = false;  // blocked in a wait, not running nor ready to run
  long voluntarySwitches = 0;
  double cpuMilliseconds = 0;  // user and system time

  bool operator==(const ProcessCost&) const = default;
};

ProcessCost CostOf(pid_t pid) {
  const std::string proc = "/proc/" + std::to_string(pid);
  ProcessCost cost;
  std::ifstream status(proc + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.starts_with("voluntary_ctxt_switches:"))
      cost.voluntarySwitches = std::stol(line.substr(line.find(':') + 1));
  std::ifstream stat(proc + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // The fields after the command name, which is in parentheses, start at field 3, the state.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  long ticks = 0;
  for (int number = 3; number <= 15 && fields >> field; ++number) {
    if (number == 3) cost.asleep = field == "S";
    if (number == 14 || number == 15) ticks += std::stol(field);
  }
  // schedstat's first field is the time spent on a processor in nanoseconds;
  // without it, stat's utime and stime (fields 14 and 15, in clock ticks) count.
  std::ifstream schedstat(proc + "/schedstat");
  long long nanoseconds = 0;
  cost.cpuMilliseconds = schedstat >> nanoseconds
                             ? static_cast<double>(nanoseconds) / 1e6
                             : static_cast<double>(ticks) * 1000 / sysconf(_SC_CLK_TCK);
  return cost;
}

// The cost once the program is asleep and unchanged over a pause longer than
// its longest deadline (150 ms, for the terminal's answers), however slow its
// start; one that never parks is measured after five seconds.
ProcessCost Parked(KeyCodesProgram& program) {
  ProcessCost last = CostOf(program.Pid());
  for (int look = 0; look < 16; ++look) {
    program.Drain(300ms);
    const ProcessCost now = CostOf(program.Pid());
    if (now.asleep && now == last) return now;
    last = now;
  }
  return last;
}

TEST(KeysE2ETest, KeysTypedOnATerminalGiveTheirCodes) {
  const struct {
    std::string bytes;
    std::vector<int> codes;
  } keys[] = {
      {"\x1b[1;5D", {0, 115}},  // Ctrl+Left
      {"\x1bOP", {0, 59}},      // F1
      {"\x1bx", {0, 45}},       // Alt+x
      {"\x1b[A", {0, 72}},      // Up
      {"\x1bOB", {0, 80}},      // Down in application cursor mode
      {"\x1b[3~", {0, 83}},     // Delete
      {"\x1b[1;3P", {0, 104}},  // Alt+F1
      {"\x1b[1;2P", {0, 84}},   // Shift+F1
      {"\x1b[23~", {0, 133}},   // F11
      {"\x1bOo", {0, 53}},      // keypad '/'
      {"\x1bOM", {13}},         // keypad Enter
      {"\x1b[Z", {0, 15}},      // Shift+Tab
      {"\x1b", {27}},           // Esc, told from a sequence by its timeout
      {"\r", {13}},             // Enter
      {"\n", {10}},             // Ctrl+J
      {"\x7f", {8}},            // Backspace
      {"\t", {9}},              // Tab
      {"\x01", {1}},            // Ctrl+A
      {"\x13", {19}},           // Ctrl+S
      {"\x1a", {26}},           // Ctrl+Z
      {"\xc3\xa1", {0xE1}},     // á
      {"\xc5\xb1", {0xFB}},     // ű
      {"q", {'q'}},
  };
  std::vector<int> expected;
  for (const auto& key : keys) expected.insert(expected.end(), key.codes.begin(), key.codes.end());
  KeyCodesProgram program({std::to_string(expected.size())});
  ASSERT_TRUE(program.WaitReady());
  for (const auto& key : keys) program.Type(key.bytes);
  EXPECT_EQ(program.WaitExit(), 0);
  EXPECT_EQ(program.Codes(), expected);
}

TEST(KeysE2ETest, ALineTypedWithEditingKeysArrivesAsEdited) {
  KeyCodesProgram program({"line"});
  ASSERT_TRUE(program.WaitReady());
  // "abc", Left twice (CSI and SS3 forms), X over the b, End, Backspace, "de", Home, Right,
  // then an é over the X.
  for (const char* key : {"a", "b", "c", "\x1b[D", "\x1bOD", "X", "\x1b[F", "\x7f", "d", "e",
                          "\x1b[H", "\x1b[C", "\xc3\xa9", "\r"})
    program.Type(key);
  EXPECT_EQ(program.WaitExit(), 0);
  // Backspace at the end of the line removed the c.
  EXPECT_EQ(program.Codes(), (std::vector<int>{'a', 0xE9, 'd', 'e'}));
}

TEST(KeysE2ETest, WaitingForAKeyCostsNoTimeAndNoWakeUps) {
  // KEYS_IDLE_SECONDS lengthens the wait for a measurement; the figures are printed.
  const char* seconds = std::getenv("KEYS_IDLE_SECONDS");
  const int idleSeconds = seconds != nullptr ? std::atoi(seconds) : 1;
  KeyCodesProgram program({"1"});
  ASSERT_TRUE(program.WaitReady());
  const ProcessCost before = Parked(program);
  program.Drain(std::chrono::seconds(idleSeconds));
  const ProcessCost after = CostOf(program.Pid());
  const long switches = after.voluntarySwitches - before.voluntarySwitches;
  const double cpuMilliseconds = after.cpuMilliseconds - before.cpuMilliseconds;
  std::cout << "waited " << idleSeconds << " s: " << switches << " voluntary context switches, "
            << cpuMilliseconds << " ms of processor time\n";
  EXPECT_EQ(switches, 0);
  EXPECT_LE(cpuMilliseconds, 10.0);
  program.Type("k");
  EXPECT_EQ(program.WaitExit(), 0);
  EXPECT_EQ(program.Codes(), std::vector<int>{'k'});
}

}  // namespace
