// Runs the failing program as a child process and checks its fatal-error
// report line by line against the program's source, and its exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

constexpr const char* kProgram = FAILING_PROGRAM;
constexpr const char* kSourcePath = FAILING_SOURCE;
constexpr const char* kSourceName = FAILING_SOURCE_NAME;  // as the report names it
constexpr char kControlC = '\x03';

struct ChildRun {
  std::string errors;
  int status = -1;  // the exit status, or -1 when the child did not exit
};

std::string ReadAll(int fd) {
  std::string text;
  char chunk[4096];
  ssize_t count;
  while ((count = read(fd, chunk, sizeof chunk)) > 0 || (count < 0 && errno == EINTR))
    if (count > 0) text.append(chunk, static_cast<size_t>(count));
  return text;
}

int ExitStatus(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ChildRun RunProgram(const std::string& program, const char* word) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, 0);
    dup2(devNull, 1);
    dup2(pipeEnds[1], 2);
    close(pipeEnds[0]);
    execl(program.c_str(), program.c_str(), word, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[1]);
  ChildRun run;
  run.errors = ReadAll(pipeEnds[0]);
  close(pipeEnds[0]);
  run.status = ExitStatus(child);
  return run;
}

// The number of the source line that carries the marker "@name".
int MarkerLine(const std::string& name) {
  std::ifstream source(kSourcePath);
  std::string line;
  const std::string marker = "// @" + name;
  for (int number = 1; std::getline(source, line); ++number)
    if (line.size() >= marker.size() &&
        line.compare(line.size() - marker.size(), marker.size(), marker) == 0)
      return number;
  ADD_FAILURE() << "no marker " << marker;
  return 0;
}

// The report split at CR LF; fails the test when a line ends otherwise or the
// text does not end with a line end.
std::vector<std::string> ReportLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  for (const std::string& line : lines) EXPECT_EQ(line.find('\n'), std::string::npos) << line;
  return lines;
}

std::string Known(const std::string& routine, int line) {
  return "  " + routine + ",  line " + std::to_string(line) + " of " + kSourceName;
}

const std::regex kErrorLine(R"(Runtime error (\d+) at \$([0-9A-F]{8}))");
const std::regex kLocationLine(R"(  \$([0-9A-F]{8})(.*))");

// Checks the first two lines: code, the same address in both, and the location.
void ExpectErrorAndLocation(const std::vector<std::string>& lines, int code,
                            const std::string& location) {
  ASSERT_GE(lines.size(), 2u);
  std::smatch error, place;
  ASSERT_TRUE(std::regex_match(lines[0], error, kErrorLine)) << lines[0];
  EXPECT_EQ(error[1], std::to_string(code));
  ASSERT_TRUE(std::regex_match(lines[1], place, kLocationLine)) << lines[1];
  EXPECT_EQ(place[1], error[2]);
  EXPECT_EQ(place[2], location);
}

// A failure in a routine called from main: the error line, the location in the
// routine, the call in main, the start-up code's address alone, the empty line.
void ExpectCalledFromMain(const ChildRun& run, int code, const std::string& routine,
                          const std::string& marker, const std::string& callMarker) {
  const std::vector<std::string> lines = ReportLines(run.errors);
  ASSERT_EQ(lines.size(), 5u) << run.errors;
  ExpectErrorAndLocation(lines, code, Known(routine, MarkerLine(marker)));
  std::smatch place;
  ASSERT_TRUE(std::regex_match(lines[2], place, kLocationLine)) << lines[2];
  EXPECT_EQ(place[2], Known("main", MarkerLine(callMarker)));
  ASSERT_TRUE(std::regex_match(lines[3], place, kLocationLine)) << lines[3];
  EXPECT_EQ(place[2], "") << "start-up code named";
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(run.status, code & 0xFF);
}

struct Failure {
  const char* word;
  int code;
  const char* routine;
  const char* marker;
  const char* callMarker;
};

const Failure kFailures[] = {
    {"io", 102, "FAILIO", "io-check", "call-io"},
    {"range", 201, "FAILRANGE", "range-check", "call-range"},
    {"runerror", 300, "FAILRUN", "run-error", "call-runerror"},
    {"several0", 201, "SEVERAL", "several-0", "call-several"},
    {"several1", 201, "SEVERAL", "several-1", "call-several"},
    {"several2", 201, "SEVERAL", "several-2", "call-several"},
    {"several3", 201, "SEVERAL", "several-3", "call-several"},
    {"divide", 200, "DIVIDE", "divide", "call-divide"},
    {"poke", 216, "POKE", "poke", "call-poke"},
};

class FailingReport : public testing::TestWithParam<Failure> {};

TEST_P(FailingReport, NamesRoutineLineAndCallers) {
  const Failure& failure = GetParam();
  ExpectCalledFromMain(RunProgram(kProgram, failure.word), failure.code, failure.routine,
                       failure.marker, failure.callMarker);
}

// Addresses are offsets into the program's image: the same in every run,
// whatever the load address.
TEST_P(FailingReport, RepeatsExactly) {
  const ChildRun first = RunProgram(kProgram, GetParam().word);
  EXPECT_EQ(RunProgram(kProgram, GetParam().word).errors, first.errors);
}

INSTANTIATE_TEST_SUITE_P(Failures, FailingReport, testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.word); });

TEST(FailingReport, StackOverflowWalksNineCallers) {
  const ChildRun run = RunProgram(kProgram, "recurse");
  const std::vector<std::string> lines = ReportLines(run.errors);
  ASSERT_EQ(lines.size(), 12u) << run.errors;
  std::smatch error, place;
  ASSERT_TRUE(std::regex_match(lines[0], error, kErrorLine)) << lines[0];
  EXPECT_EQ(error[1], "202");
  ASSERT_TRUE(std::regex_match(lines[1], place, kLocationLine)) << lines[1];
  EXPECT_EQ(place[1], error[2]);
  EXPECT_TRUE(place[2].str().starts_with("  RECURSE,  line ")) << lines[1];
  for (size_t i = 2; i < 11; ++i)
    EXPECT_EQ(lines[i].substr(11), Known("RECURSE", MarkerLine("recurse")));
  EXPECT_EQ(lines[11], "");
  EXPECT_EQ(run.status, 202);
}

TEST(FailingReport, MemoryThatCannotBeObtainedGives203) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator ends the process itself";
#endif
  // Located at the call that asked for the memory, not in the allocator.
  ExpectCalledFromMain(RunProgram(kProgram, "allocate"), 203, "ALLOCATE", "allocate",
                       "call-allocate");
}

TEST(FailingReport, NormalEndWritesNothing) {
  const ChildRun run = RunProgram(kProgram, "");
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(run.status, 0);
}

// Without debug information every location line holds the address alone, and
// the addresses are those of the program with debug information.
TEST(FailingReport, WithoutDebugInformationAddressesOnly) {
  char directory[] = "/tmp/failingXXXXXX";
  ASSERT_NE(mkdtemp(directory), nullptr);
  const std::string stripped = std::string(directory) + "/failing_program";
  const std::string command = std::string(OBJCOPY) + " --strip-debug " + kProgram + " " + stripped;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  for (const Failure& failure : kFailures) {
    const ChildRun run = RunProgram(stripped, failure.word);
    const std::vector<std::string> lines = ReportLines(run.errors);
    ASSERT_EQ(lines.size(), 5u) << failure.word << "\n" << run.errors;
    std::smatch place;
    for (size_t i = 1; i < 4; ++i) {
      ASSERT_TRUE(std::regex_match(lines[i], place, kLocationLine)) << lines[i];
      EXPECT_EQ(place[2], "") << failure.word << ": " << lines[i];
    }
    const std::vector<std::string> full = ReportLines(RunProgram(kProgram, failure.word).errors);
    ASSERT_EQ(full.size(), 5u);
    EXPECT_EQ(lines[0], full[0]);
    for (size_t i = 1; i < 4; ++i) EXPECT_EQ(lines[i].substr(0, 11), full[i].substr(0, 11));
    EXPECT_EQ(run.status, failure.code & 0xFF);
  }
  std::remove(stripped.c_str());
  rmdir(directory);
}

// Ctrl+C typed at a terminal ends the program with the control-C exit.
TEST(FailingReport, ControlCAtTerminalEndsWith217) {
  int master = -1;
  const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
  ASSERT_GE(child, 0);
  if (child == 0) {
    execl(kProgram, kProgram, "wait", static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string shown;
  char chunk[256];
  while (shown.find("ready") == std::string::npos) {
    const ssize_t count = read(master, chunk, sizeof chunk);
    ASSERT_GT(count, 0) << shown;
    shown.append(chunk, static_cast<size_t>(count));
  }
  ASSERT_EQ(write(master, &kControlC, 1), 1);
  // Reading ends with EIO once the child has closed the terminal.
  for (ssize_t count; (count = read(master, chunk, sizeof chunk)) > 0;)
    shown.append(chunk, static_cast<size_t>(count));
  close(master);
  EXPECT_EQ(ExitStatus(child), 217);
  EXPECT_NE(shown.find("Runtime error 217 at $"), std::string::npos) << shown;
}

}  // namespace
