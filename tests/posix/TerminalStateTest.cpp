#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "posix/TerminalState.h"

namespace {

TEST(TerminalState, UndoesInReverseOnceAndMakesTheChangesAgainInOrder) {
  int output[2];
  ASSERT_EQ(pipe(output), 0);
  ASSERT_EQ(fcntl(output[0], F_SETFL, O_NONBLOCK), 0);
  const auto sent = [&output] {
    std::string bytes;
    char buffer[64];
    ssize_t count;
    while ((count = read(output[0], buffer, sizeof buffer)) > 0)
      bytes.append(buffer, static_cast<size_t>(count));
    return bytes;
  };
  {
    TerminalState state(-1, output[1]);
    state.Switch("", "0");
    state.Switch("A", "a");
    state.Switch("B", "b");
    EXPECT_EQ(sent(), "AB");
    state.Release();
    EXPECT_EQ(sent(), "ba0");
    EXPECT_FALSE(state.Held());
    state.Release();
    EXPECT_EQ(sent(), "");
    state.Retake();
    EXPECT_EQ(sent(), "AB");
    state.Restore();
    EXPECT_EQ(sent(), "ba0");
    state.Restore();
    state.Retake();
    state.Switch("C", "c");
    EXPECT_EQ(sent(), "");
  }
  close(output[0]);
  close(output[1]);
}

}  // namespace
