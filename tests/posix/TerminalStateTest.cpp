#include <gtest/gtest.h>

#include "posix/TerminalState.h"
#include "support/posix/Pipe.h"

namespace {

TEST(TerminalState, UndoesInReverseOnceAndMakesTheChangesAgainInOrder) {
  testing_support::Pipe output;
  TerminalState state(-1, output.WriteEnd());
  state.Switch("", "0");
  state.Switch("A", "a");
  state.Switch("B", "b");
  EXPECT_EQ(output.ReadAvailable(), "AB");
  state.Release();
  EXPECT_EQ(output.ReadAvailable(), "ba0");
  EXPECT_FALSE(state.Held());
  state.Release();
  EXPECT_EQ(output.ReadAvailable(), "");
  state.Retake();
  EXPECT_EQ(output.ReadAvailable(), "AB");
  state.Restore();
  EXPECT_EQ(output.ReadAvailable(), "ba0");
  state.Restore();
  state.Retake();
  state.Switch("C", "c");
  EXPECT_EQ(output.ReadAvailable(), "");
}

}  // namespace
