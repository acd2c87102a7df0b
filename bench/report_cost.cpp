// Measures what a fatal-error report costs: the program reads samples/9x9.dat
// with its standard streams redirected, and once it waits for a key its input
// ends, which it reports as a run-time error. Prints, for five runs, the time
// from the end of the input to the program's exit and its peak memory.
#include <poll.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Longer than the program's pauses before a page.
constexpr int kQuietMilliseconds = 400;
constexpr int kRuns = 5;

// Reads `fd` until it has been quiet for kQuietMilliseconds or has closed.
void ReadUntilQuiet(int fd) {
  char buffer[4096];
  pollfd entry{fd, POLLIN, 0};
  while (poll(&entry, 1, kQuietMilliseconds) > 0 && read(fd, buffer, sizeof buffer) > 0) {
  }
}

bool Measure(const std::string& program, const std::string& samples) {
  int input[2], output[2];
  if (pipe(input) != 0 || pipe(output) != 0) return false;
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    dup2(input[0], STDIN_FILENO);
    dup2(output[1], STDOUT_FILENO);
    dup2(output[1], STDERR_FILENO);
    close(input[1]);
    close(output[0]);
    if (chdir(samples.c_str()) != 0) _exit(126);
    execl(program.c_str(), program.c_str(), nullptr);
    _exit(127);
  }
  close(input[0]);
  close(output[1]);
  const std::string name = "9x9\r\n";
  if (write(input[1], name.data(), name.size()) != static_cast<ssize_t>(name.size())) return false;
  ReadUntilQuiet(output[0]);
  const Clock::time_point failure = Clock::now();
  close(input[1]);
  ReadUntilQuiet(output[0]);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const auto toExit = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - failure);
  close(output[0]);
  printf("exit status %d, failure to exit %6.1f ms, peak memory (ru_maxrss) %6ld KiB\n",
         WIFEXITED(status) ? WEXITSTATUS(status) : -1, toExit.count() / 1000.0, usage.ru_maxrss);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string program = argc > 1 ? argv[1] : RESZMATRIX;
  const std::string samples = argc > 2 ? argv[2] : SAMPLES_DIR;
  for (int run = 0; run < kRuns; ++run)
    if (!Measure(program, samples)) return 1;
  return 0;
}
