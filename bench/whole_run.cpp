// Measures whole runs on a pseudo-terminal of 80 by 25 cells: the file name
// "9x9" and a key for each of the three waits are typed, each once the program
// waits, which is taken to be when its output has gone quiet for longer than
// its longest pause. For each run it prints the bytes written to the
// terminal, the processor time, the peak memory (VmHWM at the last wait), and the time from the
// start to the first drawing of the reading page's title, less the 100 ms pause that comes before
// it. The program runs next to its peers in the same run: the same dialogue written with ncurses
// (when built), and for the start a minimal C program that sets the keyboard modes and writes one
// screen. Like a terminal, it answers the request for the primary device attributes (as a VT220
// with colours, which takes up none of the newer keyboard protocols the program asks about), except
// in the runs of a silent terminal.
#include <poll.h>
#include <pty.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Longer than the program's pauses (100 ms and 200 ms) before a page.
constexpr milliseconds kQuiet{400};
constexpr milliseconds kRunLimit{30000};
constexpr milliseconds kPauseBeforeFirstPage{100};
constexpr char kTitleStart[] = "Legnagyobb";
constexpr const char* kKeys[] = {"9x9\r", " ", " ", " "};
constexpr char kDeviceAttributesRequest[] = "\x1b[c";      // DA1: what terminal are you
constexpr char kDeviceAttributesReply[] = "\x1b[?62;22c";  // VT220 level, ANSI colour

struct Output {
  bool answers = true;  // whether the terminal answers the device-attributes request
  size_t bytes = 0;
  std::string text;
  Clock::time_point titleDrawn{};
  bool titleSeen = false;
  bool attributesAnswered = false;
};

// Reads the program's output until it has been quiet for kQuiet or the
// terminal closes; false once it has closed.
bool ReadUntilQuiet(int master, Output& output) {
  char buffer[4096];
  for (;;) {
    pollfd entry{master, POLLIN, 0};
    const int ready = poll(&entry, 1, static_cast<int>(kQuiet.count()));
    if (ready == 0) return true;
    if (ready < 0) return false;
    const ssize_t count = read(master, buffer, sizeof buffer);
    if (count <= 0) return false;
    output.bytes += static_cast<size_t>(count);
    if (!output.titleSeen) {
      output.text.append(buffer, static_cast<size_t>(count));
      if (output.answers && !output.attributesAnswered &&
          output.text.find(kDeviceAttributesRequest) != std::string::npos) {
        output.attributesAnswered = true;
        const std::string reply = kDeviceAttributesReply;
        if (write(master, reply.data(), reply.size()) != static_cast<ssize_t>(reply.size()))
          return false;
      }
      if (output.text.find(kTitleStart) != std::string::npos) {
        output.titleSeen = true;
        output.titleDrawn = Clock::now();
      }
    }
  }
}

// The peak resident memory of process `pid` so far (VmHWM), in KiB; 0 when unknown.
long PeakMemory(pid_t pid) {
  FILE* status = fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
  if (status == nullptr) return 0;
  char line[256];
  long peak = 0;
  while (fgets(line, sizeof line, status) != nullptr)
    if (sscanf(line, "VmHWM: %ld kB", &peak) == 1) break;
  fclose(status);
  return peak;
}

double Seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6;
}

struct Run {
  const char* label;
  std::string program;
  const char* term;
  bool answers;
};

// Runs `run` through the whole dialogue and prints one line of figures when `print`.
bool Measure(const Run& run, const std::string& samples, bool print = true) {
  winsize size{};
  size.ws_col = 80;
  size.ws_row = 25;
  int master = -1;
  const Clock::time_point start = Clock::now();
  const pid_t child = forkpty(&master, nullptr, nullptr, &size);
  if (child < 0) {
    perror("forkpty");
    return false;
  }
  if (child == 0) {
    setenv("TERM", run.term, 1);
    if (chdir(samples.c_str()) != 0) _exit(126);
    execl(run.program.c_str(), run.program.c_str(), nullptr);
    _exit(127);
  }

  Output output;
  output.answers = run.answers;
  bool open = ReadUntilQuiet(master, output);
  long peak = 0;
  for (const char* key : kKeys) {
    if (!open || Clock::now() - start > kRunLimit) break;
    // Read at each wait: after the end the process and its figures are gone.
    peak = std::max(peak, PeakMemory(child));
    const std::string bytes = key;
    if (write(master, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) break;
    open = ReadUntilQuiet(master, output);
  }

  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) {
    perror("wait4");
    return false;
  }
  close(master);

  if (!print) return true;
  const double cpu = (Seconds(usage.ru_utime) + Seconds(usage.ru_stime)) * 1000;
  printf("%-16s %-8s %-14s %6d %7zu %8.1f %10ld", run.term, run.answers ? "answers" : "silent",
         run.label, WIFEXITED(status) ? WEXITSTATUS(status) : -1, output.bytes, cpu, peak);
  if (output.titleSeen) {
    const auto toTitle =
        std::chrono::duration_cast<std::chrono::microseconds>(output.titleDrawn - start) -
        kPauseBeforeFirstPage;
    printf(" %12.1f\n", toTitle.count() / 1000.0);
  } else {
    printf(" %12s\n", "never");
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string program = argc > 1 ? argv[1] : RESZMATRIX;
  const std::string samples = argc > 2 ? argv[2] : SAMPLES_DIR;
  const std::string peer = NCURSES_PEER;
  const std::string floor = MINIMAL_PAGE;

  std::vector<Run> runs;
  for (const char* term : {"xterm-256color", "tmux-256color"}) {
    runs.push_back({"reszmatrix", program, term, true});
    if (!peer.empty()) runs.push_back({"ncurses peer", peer, term, true});
    runs.push_back({"minimal C", floor, term, true});
    runs.push_back({"reszmatrix", program, term, false});
    runs.push_back({"minimal C", floor, term, false});
  }
  printf("%-16s %-8s %-14s %6s %7s %8s %10s %12s\n", "TERM", "terminal", "program", "status",
         "bytes", "CPU ms", "VmHWM KiB", "first page");
  bool ok = true;
  // The first run of all starts slower, whichever program it is: one run
  // of the minimal program goes first, unprinted.
  Measure(runs.back(), samples, false);
  for (const Run& run : runs) ok = Measure(run, samples) && ok;
  printf("(first page: ms from the start to the title, less the 100 ms pause)\n");
  return ok ? 0 : 1;
}
