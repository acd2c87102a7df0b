// Terminal input over a pipe: bytes written come out as key events without
// blocking, a lone Esc arrives after its timeout, and the end of input is
// reported once everything before it has been delivered.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <string>
#include <vector>

#include "posix/TerminalInput.h"
#include "support/KeyEvents.h"
#include "support/posix/Pipe.h"

namespace {

using namespace testing_support;

class TerminalInputTest : public ::testing::Test {
 protected:
  Pipe pipe_;
};

TEST_F(TerminalInputTest, BytesWrittenComeOutAsEvents) {
  TerminalInput input(pipe_.ReadEnd());
  EXPECT_TRUE(TakeEvents(input).empty());
  EXPECT_EQ(input.TimeoutMilliseconds(), -1);
  pipe_.Write("a\x1b[Bz\r");
  const std::vector<KeyEvent> events = TakeEvents(input);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].character, 'a');
  EXPECT_EQ(events[1].virtualKey, 40);
  EXPECT_EQ(events[1].controlState, KeyState::kEnhanced);
  EXPECT_EQ(events[2].character, 'z');
  EXPECT_EQ(events[3].character, '\r');
  EXPECT_FALSE(input.Ended());
  EXPECT_EQ(input.TimeoutMilliseconds(), -1);
}

TEST_F(TerminalInputTest, SequenceSplitAcrossWrites) {
  TerminalInput input(pipe_.ReadEnd());
  pipe_.Write("\x1b[1;5");
  EXPECT_TRUE(TakeEvents(input).empty());
  const int timeout = input.TimeoutMilliseconds();
  EXPECT_GE(timeout, 0);
  EXPECT_LE(timeout, 25);
  pipe_.Write("D");
  const std::vector<KeyEvent> events = TakeEvents(input);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].virtualKey, 37);
  EXPECT_EQ(events[0].controlState, KeyState::kEnhanced | KeyState::kLeftCtrl);
}

TEST_F(TerminalInputTest, EndOfInputAfterTheLastEvent) {
  TerminalInput input(pipe_.ReadEnd());
  pipe_.Write("xy");
  pipe_.CloseWriteEnd();
  KeyEvent event;
  ASSERT_TRUE(input.Next(event));
  EXPECT_EQ(event.character, 'x');
  EXPECT_FALSE(input.Ended());
  ASSERT_TRUE(input.Next(event));
  EXPECT_EQ(event.character, 'y');
  EXPECT_FALSE(input.Next(event));
  EXPECT_TRUE(input.Ended());
  EXPECT_FALSE(input.Next(event));
  EXPECT_TRUE(input.Ended());
}

TEST_F(TerminalInputTest, LoneEscAtEndOfInputIsDeliveredAtOnce) {
  TerminalInput input(pipe_.ReadEnd());
  pipe_.Write("q\x1b");
  pipe_.CloseWriteEnd();
  const std::vector<KeyEvent> events = TakeEvents(input);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].character, 'q');
  EXPECT_EQ(events[1].virtualKey, 27);
  EXPECT_EQ(events[1].character, 27);
  EXPECT_TRUE(input.Ended());
}

TEST_F(TerminalInputTest, LoneEscArrivesWhenItsTimeoutRunsOut) {
  using Clock = std::chrono::steady_clock;
  TerminalInput input(pipe_.ReadEnd());
  const Clock::time_point written = Clock::now();
  pipe_.Write("\x1b");
  // Wait as the terminal device does: sleep in poll until input or the timeout.
  KeyEvent event;
  int waits = 0;
  while (!input.Next(event)) {
    ASSERT_LT(++waits, 10) << "the wait spins";
    const int timeout = input.TimeoutMilliseconds();
    ASSERT_GE(timeout, 0);
    pollfd entry = {input.Fd(), POLLIN, 0};
    poll(&entry, 1, timeout);
  }
  const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - written);
  EXPECT_EQ(event.virtualKey, 27);
  // The decoder counts whole milliseconds of the clock, the byte's first one
  // in full: its 25 may end up to a millisecond early by this clock.
  EXPECT_GE(waited.count(), 24);
  EXPECT_LT(waited.count(), 1000);
  EXPECT_EQ(input.TimeoutMilliseconds(), -1);
}

TEST_F(TerminalInputTest, ALongPasteArrivesWhole) {
  TerminalInput input(pipe_.ReadEnd());
  std::string text;
  for (int i = 0; i < 3000; ++i) text += static_cast<char>('a' + i % 26);
  pipe_.Write(text + "\xc5\xb1");
  const std::vector<KeyEvent> events = TakeEvents(input);
  ASSERT_EQ(events.size(), text.size() + 1);
  for (std::size_t i = 0; i < text.size(); ++i)
    ASSERT_EQ(events[i].character, static_cast<uint8_t>(text[i])) << i;
  EXPECT_EQ(events.back().character, 0xFB);
}

TEST_F(TerminalInputTest, LeavesTheDescriptorsFlagsAlone) {
  const int flags = fcntl(pipe_.ReadEnd(), F_GETFL);
  TerminalInput input(pipe_.ReadEnd());
  pipe_.Write("k");
  KeyEvent event;
  EXPECT_TRUE(input.Next(event));
  EXPECT_FALSE(input.Next(event));
  EXPECT_EQ(fcntl(pipe_.ReadEnd(), F_GETFL), flags);
}

TEST_F(TerminalInputTest, LinuxConsoleVariant) {
  TerminalInput input(pipe_.ReadEnd(), {{"\x1b[[A", EventOf({112, 59, 0, 0})}});
  pipe_.Write("\x1bOQ");
  const std::vector<KeyEvent> events = TakeEvents(input);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].character, '/');
}

}  // namespace
