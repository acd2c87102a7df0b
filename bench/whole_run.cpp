// Measures one whole run of the program on a pseudo-terminal of 80 by 25
// cells: the file name "9x9" and a key for each of the three waits are typed,
// each once the program waits, which is taken to be when its output has gone
// quiet for longer than its longest pause. Prints the bytes it wrote to the
// terminal, its processor time, its peak memory, and the time from its start
// to the first drawing of the reading page's title, less the 100 ms pause
// that comes before it. Like a terminal, it answers the program's request for
// the primary device attributes (as a VT220 with colours, which takes up none
// of the newer keyboard protocols the program asks about).
#include <poll.h>
#include <pty.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

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
      if (!output.attributesAnswered &&
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

double Seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string program = argc > 1 ? argv[1] : RESZMATRIX;
  const std::string samples = argc > 2 ? argv[2] : SAMPLES_DIR;

  winsize size{};
  size.ws_col = 80;
  size.ws_row = 25;
  int master = -1;
  const Clock::time_point start = Clock::now();
  const pid_t child = forkpty(&master, nullptr, nullptr, &size);
  if (child < 0) {
    perror("forkpty");
    return 1;
  }
  if (child == 0) {
    setenv("TERM", "xterm-256color", 1);
    if (chdir(samples.c_str()) != 0) _exit(126);
    execl(program.c_str(), program.c_str(), nullptr);
    _exit(127);
  }

  Output output;
  bool open = ReadUntilQuiet(master, output);
  for (const char* key : kKeys) {
    if (!open || Clock::now() - start > kRunLimit) break;
    const std::string bytes = key;
    if (write(master, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) break;
    open = ReadUntilQuiet(master, output);
  }

  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) {
    perror("wait4");
    return 1;
  }
  close(master);

  printf("exit status:                %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  printf("bytes written to terminal:  %zu\n", output.bytes);
  printf("CPU time (user+sys):        %.1f ms (%.1f + %.1f)\n",
         (Seconds(usage.ru_utime) + Seconds(usage.ru_stime)) * 1000, Seconds(usage.ru_utime) * 1000,
         Seconds(usage.ru_stime) * 1000);
  printf("peak memory (ru_maxrss):    %ld KiB\n", usage.ru_maxrss);
  if (output.titleSeen) {
    const auto toTitle =
        std::chrono::duration_cast<std::chrono::microseconds>(output.titleDrawn - start) -
        kPauseBeforeFirstPage;
    printf("start to first page:        %.1f ms (less the 100 ms pause)\n",
           toTitle.count() / 1000.0);
  } else {
    printf("start to first page:        the title was never drawn\n");
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
