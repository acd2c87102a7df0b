// Runs with standard output redirected: the transcript of the pages as plain
// text, the line ends of the input, the end of the input at a wait, a failing
// file, and a terminal on standard input.
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <thread>

#include "ProgramFolder.h"
#include "ProgramTexts.h"
#include "ReportCheck.h"

namespace {

using namespace std::chrono_literals;

struct ShellRun {
  /// The exit status; nothing when the run was killed for taking too long.
  std::optional<int> status;
  std::chrono::milliseconds elapsed;
};

// Runs `command` with the shell in `folder`, killing it after `limit`.
ShellRun RunShell(const std::string& command, const ProgramFolder& folder,
                  std::chrono::milliseconds limit = 10s) {
  const auto start = std::chrono::steady_clock::now();
  const auto elapsed = [start] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
  };
  const pid_t child = fork();
  if (child == 0) {
    setpgid(0, 0);
    if (chdir(folder.Path().c_str()) != 0) _exit(126);
    execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
    _exit(127);
  }
  setpgid(child, child);
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (elapsed() > limit) {
      kill(-child, SIGKILL);
      waitpid(child, &status, 0);
      return {std::nullopt, elapsed()};
    }
    std::this_thread::sleep_for(5ms);
  }
  return {WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt, elapsed()};
}

// The program fed `input` through a pipe, its output and errors into files.
std::string Pipeline(const std::string& input) {
  return "printf '" + input + "' | '" RESZMATRIX "' > out 2> err";
}

const std::string kReadingPageUpToTheFirstWait =
    "              Legnagyobb összegű részmátrix keresése -- beolvasás\n"
    "Fájlnév (*.dat, opcionális: 3x4_1,1x3,3):\n"
    "A beolvasás sikerült.\n"
    "\n"
    "       1   2   3   4\n"
    "   1   2  -1   2  -1\n"
    "   2  -3   4  -1   1\n"
    "   3   1  -1   3  -2\n";

const std::string kRestOfTheRun =
    "\n"
    "Rész-összegek mátrixa:\n"
    "\n"
    "       1   2   3   4\n"
    "   1   2   1   3   2\n"
    "   2  -1   2   3   3\n"
    "   3   0   2   6   4\n"
    "         Legnagyobb összegű részmátrix keresése -- eredmény:3x4_1,1x3,3\n"
    "A keresett részmátrix: (1,1)..(3,3)\n"
    "A részmátrix összege:6\n"
    "\n"
    "       1   2   3\n"
    "   1   2  -1   2\n"
    "   2  -3   4  -1\n"
    "   3   1  -1   3\n";

const ExpectedLocation kBeolvasCall{"main", "src/main.cpp", "BEOLVAS("};

class RedirectedRun : public ::testing::Test {
 protected:
  void SetUp() override { folder_.CopySample(kDefaultFile); }
  ProgramFolder folder_;
};

TEST_F(RedirectedRun, WritesBothPagesAsPlainText) {
  const ShellRun run = RunShell(Pipeline("\\r   "), folder_);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(folder_.Read("out"), kReadingPageUpToTheFirstWait + kRestOfTheRun);
  EXPECT_EQ(folder_.Read("err"), "");
}

TEST_F(RedirectedRun, EveryKindOfLineEndIsOneEnter) {
  for (const std::string lineEnd : {"\\n", "\\r\\n", "\\r"}) {
    SCOPED_TRACE(lineEnd);
    // The default file's empty name, then the three waits.
    const std::string three = lineEnd + lineEnd + lineEnd;
    EXPECT_EQ(RunShell(Pipeline(three + lineEnd), folder_).status, 0);
    EXPECT_EQ(folder_.Read("out"), kReadingPageUpToTheFirstWait + kRestOfTheRun);
    // One line end fewer leaves the last wait without a key.
    EXPECT_EQ(RunShell(Pipeline(three), folder_).status, 217);
  }
}

TEST_F(RedirectedRun, ATerminalOnStandardInputServesTheTypedLinesItself) {
  int terminal = -1;
  int program = -1;
  ASSERT_EQ(openpty(&terminal, &program, nullptr, nullptr, nullptr), 0);
  ASSERT_LT(program, 10);  // the shell redirects single-digit descriptors
  // The terminal stays in its line mode: its Ctrl+U takes back the typed name,
  // its Enter (CR, sent on as LF) ends the line and each wait.
  const std::string typed = "nincs\x15\r\r\r\r";
  ASSERT_EQ(write(terminal, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  const ShellRun run =
      RunShell("'" RESZMATRIX "' <&" + std::to_string(program) + " > out 2> err", folder_);
  close(program);
  close(terminal);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(folder_.Read("out"), kReadingPageUpToTheFirstWait + kRestOfTheRun);
}

TEST_F(RedirectedRun, EndsAtOnceWhenTheInputEndsAtAWait) {
  const ShellRun run = RunShell(Pipeline("\\r"), folder_);
  EXPECT_EQ(run.status, 217);
  // The run's own pause is 100 ms; the end of the input is not waited out.
  EXPECT_LT(run.elapsed, 2s);
  EXPECT_EQ(folder_.Read("out"), kReadingPageUpToTheFirstWait);
  ExpectReport(folder_.Read("err"), 217,
               {{"ReadKey", "console/Keyboard.cpp", ""},
                {"BILLREVAR", "Rutinok/AltRutinok.cpp", "ReadKey("},
                {"KIIRMATRIX", "src/KiirMatrix.cpp", "BILLREVAR("},
                {"BEOLVAS", "src/Beolvas.cpp", "KIIRMATRIX("},
                kBeolvasCall});
}

TEST_F(RedirectedRun, WritesTheReadingPageUpToAFailingNumber) {
  folder_.Write("hibas.dat", "2 3\n1 2 3\n4 5 6x\n");
  const ShellRun run = RunShell(Pipeline("nincs\\rhibas\\r"), folder_);
  EXPECT_EQ(run.status, 106);
  EXPECT_EQ(folder_.Read("out"),
            "              Legnagyobb összegű részmátrix keresése -- beolvasás\n"
            "Fájlnév (*.dat, opcionális: 3x4_1,1x3,3):nincs\n"
            "Fájlnév (*.dat, opcionális: 3x4_1,1x3,3):hibas\n");
  ExpectReport(folder_.Read("err"), 106, {{"BEOLVAS", "src/Beolvas.cpp", "Read(F)"}, kBeolvasCall});
}

}  // namespace
