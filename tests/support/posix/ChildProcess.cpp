#include "support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

namespace testing_support {

namespace {

using namespace std::chrono_literals;

// The settings a new pseudo-terminal gets: echo, lines, signals.
termios NewTerminalSettings() {
  int master = -1;
  int slave = -1;
  termios settings{};
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) == 0) {
    tcgetattr(slave, &settings);
    close(slave);
    close(master);
  }
  return settings;
}

// In the child: moves to `folder` and runs `argv`; never returns.
[[noreturn]] void Exec(const std::string& folder, const std::vector<char*>& argv) {
  if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
  execvp(argv[0], argv.data());
  _exit(127);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, ChildStreams streams,
                           const std::string& folder) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  started_ = Clock::now();
  if (streams == ChildStreams::kTerminal) {
    settings_ = NewTerminalSettings();
    winsize size{};
    size.ws_col = 80;
    size.ws_row = 25;
    pid_ = forkpty(&fd_, nullptr, &settings_, &size);
    if (pid_ == 0) {
      setenv("TERM", "xterm-256color", 1);
      Exec(folder, argv);
    }
    if (pid_ > 0) terminal_ = open(ptsname(fd_), O_RDWR | O_NOCTTY | O_NONBLOCK);
    return;
  }
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    // A group of its own, so that a child killed for its time takes its children along.
    setpgid(0, 0);
    const int nothing = open("/dev/null", O_RDWR);
    const bool errors = streams == ChildStreams::kErrors;
    dup2(nothing, STDIN_FILENO);
    dup2(errors ? nothing : pipeEnds[1], STDOUT_FILENO);
    dup2(errors ? pipeEnds[1] : nothing, STDERR_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    Exec(folder, argv);
  }
  if (pid_ > 0) setpgid(pid_, pid_);
  close(pipeEnds[1]);
  fd_ = pipeEnds[0];
}

ChildProcess::~ChildProcess() {
  if (Started() && !reaped_) {
    // Asked first, so that it can clean up after itself (an X server its lock file).
    kill(-pid_, SIGTERM);
    WaitExit(1s);
  }
  if (Started() && !reaped_) {
    kill(-pid_, SIGKILL);
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (terminal_ >= 0) close(terminal_);
  if (fd_ >= 0) close(fd_);
}

const termios& ChildProcess::InitialSettings() const {
  return settings_;
}

termios ChildProcess::Settings() const {
  termios settings{};
  tcgetattr(fd_, &settings);
  return settings;
}

bool ChildProcess::SettingsRestored() const {
  const termios now = Settings();
  return now.c_iflag == settings_.c_iflag && now.c_oflag == settings_.c_oflag &&
         now.c_lflag == settings_.c_lflag && now.c_cc[VMIN] == settings_.c_cc[VMIN] &&
         now.c_cc[VTIME] == settings_.c_cc[VTIME] && now.c_cc[VSUSP] == settings_.c_cc[VSUSP] &&
         now.c_cc[VQUIT] == settings_.c_cc[VQUIT];
}

void ChildProcess::RestoreSettings() const {
  tcsetattr(fd_, TCSANOW, &settings_);
}

void ChildProcess::Resize(int columns, int rows) const {
  winsize size{};
  size.ws_col = static_cast<unsigned short>(columns);
  size.ws_row = static_cast<unsigned short>(rows);
  ioctl(fd_, TIOCSWINSZ, &size);
}

bool ChildProcess::Send(std::string_view bytes) {
  return write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

bool ChildProcess::Interrupt() {
  return Send("\x03");
}

bool ChildProcess::ReadPiece(std::chrono::milliseconds wait) {
  pollfd entry{fd_, POLLIN, 0};
  if (poll(&entry, 1, static_cast<int>(wait.count())) <= 0) return false;
  char buffer[4096];
  const ssize_t count = read(fd_, buffer, sizeof buffer);
  if (count <= 0) {
    // The child's side is closed: nothing more will come.
    open_ = false;
    return false;
  }
  output_.append(buffer, static_cast<size_t>(count));
  OnOutput();
  return true;
}

std::optional<int> ChildProcess::WaitExit(std::chrono::milliseconds limit) {
  const Clock::time_point deadline = Clock::now() + limit;
  while (Started() && !reaped_) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      reaped_ = true;
      // What the child wrote last may still be unread.
      while (open_ && Clock::now() < deadline && ReadPiece(20ms)) {
      }
      if (WIFEXITED(status)) return WEXITSTATUS(status);
      return std::nullopt;
    }
    if (Clock::now() >= deadline) return std::nullopt;
    if (open_)
      ReadPiece(10ms);
    else
      std::this_thread::sleep_for(2ms);
  }
  return std::nullopt;
}

bool ChildProcess::WaitStopped(std::chrono::milliseconds limit) {
  const Clock::time_point deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG | WUNTRACED) == pid_ && WIFSTOPPED(status)) {
      Drain(20ms);  // what it wrote before it stopped
      return true;
    }
    Drain(10ms);
  }
  return false;
}

std::string ChildProcess::UnreadInput() {
  // Lines are no longer gathered, so a line not ended is readable too.
  termios raw = Settings();
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON);
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  tcsetattr(terminal_, TCSANOW, &raw);
  std::string input;
  char buffer[256];
  ssize_t count;
  while ((count = read(terminal_, buffer, sizeof buffer)) > 0)
    input.append(buffer, static_cast<size_t>(count));
  return input;
}

}  // namespace testing_support
