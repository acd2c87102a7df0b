#include "TerminalRun.h"

#include "PageCheck.h"
#include "ProgramTexts.h"

namespace {

const std::string kStatusFile = "status.txt";
const std::string kStandardErrorFile = "stderr.txt";
const std::string kModesFile = "stty-after.txt";

// The shell script that runs the program and holds the pane after it.
std::string RunScript(const TempFolder& folder) {
  std::string script = "cd '" + folder.Path() + "'\n";
  script += "'" RESZMATRIX "' 2> " + kStandardErrorFile + "\n";
  script += "status=$?\n";
  script += "stty -a > " + kModesFile + "\n";
  // Renamed into place, so that a reader never sees half a number.
  script += "echo $status > status.tmp && mv status.tmp " + kStatusFile + "\n";
  script += "read -r line\n";
  return script;
}

std::string WriteScript(const TempFolder& folder) {
  return "sh '" + folder.Write("run.sh", RunScript(folder)) + "'";
}

}  // namespace

TerminalRun::TerminalRun(const TempFolder& folder)
    : folder_(folder), session_(WriteScript(folder), 80, 25) {}

::testing::AssertionResult TerminalRun::AnswerPrompt(int row, const std::string& name) {
  // Typed only once the prompt is there: before the program has set up its
  // terminal, the terminal itself would echo the keys.
  ::testing::AssertionResult prompted = WaitForRow(row, kPrompt);
  if (!prompted) return prompted;
  if (!name.empty()) session_.SendText(name);
  session_.SendKeys({"Enter"});
  return prompted;
}

::testing::AssertionResult TerminalRun::WaitForRow(int row, const std::string& text) {
  if (session_.WaitForScreen(
          [row, &text](const Screen& screen) { return TrimmedRow(screen, row) == text; }))
    return ::testing::AssertionSuccess();
  // Whether the program still runs tells a slow start from an early end.
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << "row " << row << " never read \"" << text << "\" in:\n" << session_.Text();
  if (Ended())
    failure << "\nThe program had ended with status " << std::stoi(folder_.Read(kStatusFile))
            << " and wrote to standard error: \"" << StandardError() << '"';
  else
    failure << "\nThe program was still running.";
  return failure;
}

std::optional<int> TerminalRun::WaitForEnd() {
  const std::optional<std::string> status = folder_.WaitForFile(kStatusFile);
  if (!status) return std::nullopt;
  return std::stoi(*status);
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
