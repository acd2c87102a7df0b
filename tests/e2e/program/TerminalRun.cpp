#include "TerminalRun.h"

#include <chrono>
#include <thread>

#include "PageCheck.h"
#include "ProgramTexts.h"

namespace {

constexpr auto kTimeout = std::chrono::seconds(10);
constexpr auto kPollInterval = std::chrono::milliseconds(20);

const std::string kStatusFile = "status.txt";
const std::string kStandardErrorFile = "stderr.txt";
const std::string kModesFile = "stty-after.txt";

// The shell script that runs the program and holds the pane after it.
std::string RunScript(const ProgramFolder& folder) {
  std::string script = "cd '" + folder.Path().string() + "'\n";
  script += "'" RESZMATRIX "' 2> " + kStandardErrorFile + "\n";
  script += "status=$?\n";
  script += "stty -a > " + kModesFile + "\n";
  // Renamed into place, so that a reader never sees half a number.
  script += "echo $status > status.tmp && mv status.tmp " + kStatusFile + "\n";
  script += "read -r line\n";
  return script;
}

std::string WriteScript(const ProgramFolder& folder) {
  folder.Write("run.sh", RunScript(folder));
  return "sh '" + (folder.Path() / "run.sh").string() + "'";
}

}  // namespace

TerminalRun::TerminalRun(const ProgramFolder& folder)
    : folder_(folder), session_(WriteScript(folder), 80, 25) {}

bool TerminalRun::AnswerPrompt(int row, const std::string& name) {
  // Typed only once the prompt is there: before the program has set up its
  // terminal, the terminal itself would echo the keys.
  const bool prompted = session_.WaitForScreen(
      [row](const Screen& screen) { return TrimmedRow(screen, row) == kPrompt; }, kTimeout);
  if (!prompted) return false;
  if (!name.empty()) session_.SendText(name);
  session_.SendKeys({"Enter"});
  return true;
}

bool TerminalRun::WaitForRow(int row, const std::string& text) {
  return session_.WaitForScreen(
      [row, &text](const Screen& screen) { return TrimmedRow(screen, row) == text; }, kTimeout);
}

std::optional<int> TerminalRun::WaitForEnd() {
  const auto deadline = std::chrono::steady_clock::now() + kTimeout;
  while (!Ended()) {
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(kPollInterval);
  }
  return std::stoi(folder_.Read(kStatusFile));
}

bool TerminalRun::Ended() const {
  return folder_.Holds(kStatusFile);
}

std::string TerminalRun::StandardError() const {
  return folder_.Read(kStandardErrorFile);
}

std::string TerminalRun::TerminalModesAfter() const {
  return folder_.Read(kModesFile);
}
