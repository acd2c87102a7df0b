#include "KeyCodesProgram.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace {

using namespace std::chrono_literals;

std::string CodesPath() {
  return testing::TempDir() + "key_codes_" + std::to_string(getpid()) + ".txt";
}

// key_codes, a codes file that does not exist yet, and then `arguments`.
std::vector<std::string> CommandLine(const std::vector<std::string>& arguments) {
  std::remove(CodesPath().c_str());
  std::vector<std::string> line{KEY_CODES, CodesPath()};
  line.insert(line.end(), arguments.begin(), arguments.end());
  return line;
}

}  // namespace

KeyCodesProgram::KeyCodesProgram(const std::vector<std::string>& arguments)
    : ChildProcess(CommandLine(arguments), testing_support::ChildStreams::kTerminal),
      codesPath_(CodesPath()) {}

KeyCodesProgram::~KeyCodesProgram() {
  std::remove(codesPath_.c_str());
}

bool KeyCodesProgram::WaitReady() {
  const auto ready = [this] {
    std::ifstream file(codesPath_);
    std::string line;
    return std::getline(file, line) && line == "ready";
  };
  if (!Started() || !ReadUntil(ready)) return false;
  ready_ = Clock::now();
  // What the program wrote before it was ready may still be unread.
  Drain(20ms);
  return true;
}

void KeyCodesProgram::Type(std::string_view bytes, std::chrono::milliseconds pause) {
  ASSERT_TRUE(Send(bytes)) << "typing to the terminal";
  Drain(pause);
}

std::vector<int> KeyCodesProgram::Codes() const {
  std::ifstream file(codesPath_);
  std::vector<int> codes;
  std::string line;
  while (std::getline(file, line))
    if (line != "ready") codes.push_back(std::stoi(line));
  return codes;
}
