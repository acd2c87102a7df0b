#include "PtyProgram.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

// The settings a new pseudo-terminal gets: echo, lines, signals.
termios DefaultSettings() {
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

}  // namespace

PtyProgram::PtyProgram(const std::vector<std::string>& arguments) : settings_(DefaultSettings()) {
  codesPath_ = testing::TempDir() + "key_codes_" + std::to_string(getpid()) + ".txt";
  std::remove(codesPath_.c_str());
  std::vector<char*> argv{const_cast<char*>(KEY_CODES), codesPath_.data()};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  winsize size{};
  size.ws_col = 80;
  size.ws_row = 25;
  started_ = Clock::now();
  pid_ = forkpty(&master_, nullptr, &settings_, &size);
  if (pid_ == 0) {
    setenv("TERM", "xterm-256color", 1);
    execv(KEY_CODES, argv.data());
    _exit(127);
  }
  if (pid_ > 0) slave_ = open(ptsname(master_), O_RDWR | O_NOCTTY | O_NONBLOCK);
}

PtyProgram::~PtyProgram() {
  if (pid_ > 0 && !exited_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
  std::remove(codesPath_.c_str());
}

termios PtyProgram::Settings() const {
  termios settings{};
  tcgetattr(master_, &settings);
  return settings;
}

bool PtyProgram::SettingsRestored() const {
  const termios now = Settings();
  return now.c_iflag == settings_.c_iflag && now.c_oflag == settings_.c_oflag &&
         now.c_lflag == settings_.c_lflag && now.c_cc[VMIN] == settings_.c_cc[VMIN] &&
         now.c_cc[VTIME] == settings_.c_cc[VTIME] && now.c_cc[VSUSP] == settings_.c_cc[VSUSP] &&
         now.c_cc[VQUIT] == settings_.c_cc[VQUIT];
}

void PtyProgram::RestoreSettings() const {
  tcsetattr(master_, TCSANOW, &settings_);
}

bool PtyProgram::WaitReady() {
  const Clock::time_point limit = Clock::now() + 5s;
  while (Clock::now() < limit) {
    if (ReadyLine()) {
      ready_ = Clock::now();
      // What the program wrote before it was ready may still be unread.
      Drain(20ms);
      return true;
    }
    Drain(5ms);
  }
  return false;
}

bool PtyProgram::Send(std::string_view bytes) {
  return write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

void PtyProgram::Type(std::string_view bytes, std::chrono::milliseconds pause) {
  ASSERT_TRUE(Send(bytes)) << "typing to the terminal";
  Drain(pause);
}

void PtyProgram::Drain(std::chrono::milliseconds duration) {
  const Clock::time_point end = Clock::now() + duration;
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0) return;
    pollfd entry{master_, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(left.count())) <= 0) continue;
    const ssize_t count = read(master_, buffer, sizeof buffer);
    if (count <= 0) {
      // The program's side is closed: nothing more will come.
      std::this_thread::sleep_for(left);
      return;
    }
    output_.append(buffer, static_cast<std::size_t>(count));
    OnOutput();
  }
}

int PtyProgram::WaitExit() {
  const Clock::time_point limit = Clock::now() + 5s;
  while (Clock::now() < limit) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      exited_ = true;
      Drain(20ms);
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    Drain(10ms);
  }
  return -1;
}

bool PtyProgram::WaitStopped() {
  const Clock::time_point limit = Clock::now() + 5s;
  while (Clock::now() < limit) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG | WUNTRACED) == pid_ && WIFSTOPPED(status)) {
      Drain(20ms);  // what it wrote before it stopped
      return true;
    }
    Drain(10ms);
  }
  return false;
}

std::string PtyProgram::UnreadInput() {
  // Lines are no longer gathered, so a line not ended is readable too.
  termios raw = Settings();
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON);
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  tcsetattr(slave_, TCSANOW, &raw);
  std::string input;
  char buffer[256];
  ssize_t count;
  while ((count = read(slave_, buffer, sizeof buffer)) > 0)
    input.append(buffer, static_cast<std::size_t>(count));
  return input;
}

std::vector<int> PtyProgram::Codes() const {
  std::ifstream file(codesPath_);
  std::vector<int> codes;
  std::string line;
  while (std::getline(file, line))
    if (line != "ready") codes.push_back(std::stoi(line));
  return codes;
}

bool PtyProgram::ReadyLine() const {
  std::ifstream file(codesPath_);
  std::string line;
  return std::getline(file, line) && line == "ready";
}
