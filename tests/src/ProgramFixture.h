// The program's phases run on a memory device with a fresh global state.
#pragma once

#include "src/Program.h"
#include "support/ConsoleFixture.h"
#include "support/TempFolder.h"

namespace testing_support {

class ProgramTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    FN = ShortString();
    N = M = MAXERT = 0;
    MAT = TMATRIX{};
    MAXRM = TRESZMATRIX{};
  }
  /// Queues the typing of `name` and Enter, then `waits` further key presses.
  void AnswerPrompt(std::string_view name, int waits) {
    Type(name);
    Queue(EnterKey());
    for (int i = 0; i < waits; ++i) Queue(CharKey(' '));
  }

  TempFolder dir_;
};

}  // namespace testing_support
