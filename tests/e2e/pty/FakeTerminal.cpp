#include "FakeTerminal.h"

#include <gtest/gtest.h>

namespace {

std::string AnswersOf(Answers answers) {
  const std::string attributes = "\x1b[?62;22c";  // a VT220-class terminal
  switch (answers) {
    case Answers::kKitty:
      return "\x1b[?0u\x1b[?9001;0$y" + attributes;
    case Answers::kWin32Input:
      return "\x1b[?9001;2$y" + attributes;
    case Answers::kAttributesOnly:
      return attributes;
    case Answers::kKeypadApplication:
      return "\x1b[?9001;0$y\x1b[?66;1$y" + attributes;
    case Answers::kNone:
      break;
  }
  return "";
}

}  // namespace

QueryAnswers::QueryAnswers(Answers answers) : answers_(AnswersOf(answers)) {}

void QueryAnswers::Give(testing_support::ChildProcess& program) {
  if (given_ || program.Output().find(kQueries) == std::string::npos) return;
  given_ = true;
  if (!answers_.empty()) {
    ASSERT_TRUE(program.Send(answers_)) << "answering the queries";
  }
}

FakeTerminal::FakeTerminal(Answers answers, const std::string& what, const char* ending)
    : KeyCodesProgram({what, ending}),
      answers_(answers),
      turnedOn_(answers == Answers::kKitty        ? kKittyPush
                : answers == Answers::kWin32Input ? kWin32InputOn
                                                  : std::string_view()) {}

bool FakeTerminal::WaitReady() {
  const auto set = [this] {
    return Output().find(kKeypadApplication) != std::string::npos &&
           (turnedOn_.empty() || Output().find(turnedOn_) != std::string::npos);
  };
  return KeyCodesProgram::WaitReady() && ReadUntil(set);
}

FakeTerminalRun::FakeTerminalRun(Answers answers, const testing_support::TempFolder& folder,
                                 const std::string& size)
    : ChildProcess(
          {"sh", "-c", (size.empty() ? "" : "stty " + size + " && ") + "exec '" RESZMATRIX "'"},
          testing_support::ChildStreams::kTerminal, folder.Path()),
      answers_(answers) {}

std::string FakeTerminalRun::Report() const {
  std::string report = Output();
  report.erase(0, report.find("Runtime error"));
  for (size_t at; (at = report.find("\r\r\n")) != std::string::npos;) report.erase(at, 1);
  return report;
}

void ExpectTurnedOnAndOff(const std::string& output, std::string_view on, std::string_view off) {
  const std::size_t onAt = output.find(on);
  ASSERT_NE(onAt, std::string::npos);
  const std::size_t offAt = output.find(off, onAt);
  EXPECT_NE(offAt, std::string::npos);
}
