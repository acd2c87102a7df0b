#include <gtest/gtest.h>

#include "posix/TerminalState.h"
#include "support/OutputPipe.h"

namespace {

TEST(TerminalState, UndoesInReverseOnceAndMakesTheChangesAgainInOrder) {
  OutputPipe output;
  TerminalState state(-1, output.WriteFd());
  state.Switch("", "0");
  state.Switch("A", "a");
  state.Switch("B", "b");
  EXPECT_EQ(output.Take(), "AB");
  state.Release();
  EXPECT_EQ(output.Take(), "ba0");
  EXPECT_FALSE(state.Held());
  state.Release();
  EXPECT_EQ(output.Take(), "");
  state.Retake();
  EXPECT_EQ(output.Take(), "AB");
  state.Restore();
  EXPECT_EQ(output.Take(), "ba0");
  state.Restore();
  state.Retake();
  state.Switch("C", "c");
  EXPECT_EQ(output.Take(), "");
}

}  // namespace
