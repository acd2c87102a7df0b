// Runs with standard output redirected: the transcript of the pages as plain
// text, the line ends of the input, the end of the input at a wait, a failing
// file, a terminal on standard input, and a terminal whose entry cannot
// address its cursor.
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>

#include "ProgramTexts.h"
#include "support/ChildProcess.h"
#include "support/ReportCheck.h"
#include "support/TempFolder.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_support;

// Runs `command` with the shell in `folder`; its exit status, nothing when
// it was killed for taking too long.
std::optional<int> RunShell(const std::string& command, const TempFolder& folder) {
  return RunChild({"sh", "-c", command}, ChildStreams::kOutput, folder.Path()).status;
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
  TempFolder folder_;
};

TEST_F(RedirectedRun, WritesBothPagesAsPlainText) {
  EXPECT_EQ(RunShell(Pipeline("\\r   "), folder_), 0);
  EXPECT_EQ(folder_.Read("out"), kReadingPageUpToTheFirstWait + kRestOfTheRun);
  EXPECT_EQ(folder_.Read("err"), "");
}

TEST_F(RedirectedRun, EveryKindOfLineEndIsOneEnter) {
  for (const std::string lineEnd : {"\\n", "\\r\\n", "\\r"}) {
    SCOPED_TRACE(lineEnd);
    // The default file's empty name, then the three waits.
    const std::string three = lineEnd + lineEnd + lineEnd;
    EXPECT_EQ(RunShell(Pipeline(three + lineEnd), folder_), 0);
    EXPECT_EQ(folder_.Read("out"), kReadingPageUpToTheFirstWait + kRestOfTheRun);
    // One line end fewer leaves the last wait without a key.
    EXPECT_EQ(RunShell(Pipeline(three), folder_), 217);
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
  const std::optional<int> status =
      RunShell("'" RESZMATRIX "' <&" + std::to_string(program) + " > out 2> err", folder_);
  close(program);
  close(terminal);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(folder_.Read("out"), kReadingPageUpToTheFirstWait + kRestOfTheRun);
}

TEST_F(RedirectedRun, ATerminalThatCannotAddressItsCursorGetsTheTranscript) {
  int terminal = -1;
  int program = -1;
  ASSERT_EQ(openpty(&terminal, &program, nullptr, nullptr, nullptr), 0);
  ASSERT_LT(program, 10);
  // Typed ahead: the terminal's line mode echoes the four line ends at once.
  const std::string typed = "\r\r\r\r";
  ASSERT_EQ(write(terminal, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  const std::string fd = std::to_string(program);
  const std::optional<int> status =
      RunShell("TERM=dumb '" RESZMATRIX "' <&" + fd + " >&" + fd + " 2> err", folder_);
  close(program);
  std::string shown;
  char buffer[4096];
  for (ssize_t count; (count = read(terminal, buffer, sizeof buffer)) > 0;)
    for (char c : std::string_view(buffer, static_cast<size_t>(count)))
      if (c != '\r') shown += c;
  close(terminal);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(shown, "\n\n\n\n" + kReadingPageUpToTheFirstWait + kRestOfTheRun);
}

TEST_F(RedirectedRun, EndsAtOnceWhenTheInputEndsAtAWait) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RunShell(Pipeline("\\r"), folder_), 217);
  // The run's own pause is 100 ms; the end of the input is not waited out.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
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
  EXPECT_EQ(RunShell(Pipeline("nincs\\rhibas\\r"), folder_), 106);
  EXPECT_EQ(folder_.Read("out"),
            "              Legnagyobb összegű részmátrix keresése -- beolvasás\n"
            "Fájlnév (*.dat, opcionális: 3x4_1,1x3,3):nincs\n"
            "Fájlnév (*.dat, opcionális: 3x4_1,1x3,3):hibas\n");
  ExpectReport(folder_.Read("err"), 106, {{"BEOLVAS", "src/Beolvas.cpp", "Read(F)"}, kBeolvasCall});
}

}  // namespace
