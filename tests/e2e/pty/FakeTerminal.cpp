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
    case Answers::kNone:
      break;
  }
  return "";
}

}  // namespace

FakeTerminal::FakeTerminal(Answers answers, const std::string& what, const char* ending)
    : KeyCodesProgram({what, ending}),
      answers_(AnswersOf(answers)),
      turnedOn_(answers == Answers::kKitty        ? kKittyPush
                : answers == Answers::kWin32Input ? kWin32InputOn
                                                  : std::string_view()) {}

bool FakeTerminal::WaitReady() {
  return KeyCodesProgram::WaitReady() && (turnedOn_.empty() || ReadUntil([this] {
                                            return Output().find(turnedOn_) != std::string::npos;
                                          }));
}

void FakeTerminal::OnOutput() {
  if (answered_ || Output().find(kQueries) == std::string::npos) return;
  answered_ = true;
  if (!answers_.empty()) {
    ASSERT_TRUE(Send(answers_)) << "answering the queries";
  }
}

void ExpectTurnedOnAndOff(const std::string& output, std::string_view on, std::string_view off) {
  const std::size_t onAt = output.find(on);
  ASSERT_NE(onAt, std::string::npos);
  const std::size_t offAt = output.find(off, onAt);
  EXPECT_NE(offAt, std::string::npos);
}
