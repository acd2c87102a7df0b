// The start-up negotiation over a pipe standing in for a terminal: what is
// sent, the bounded wait, the reporting chosen, and keys typed meanwhile kept.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <string>

#include "posix/TerminalInput.h"
#include "support/posix/Pipe.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class TerminalInputNegotiationTest : public ::testing::Test {
 protected:
  void Answer(const std::string& bytes) { pipe_.Write(bytes); }
  // Starts the negotiation; what is sent to the terminal, the queries and the
  // turned-on reporting's enable sequence, goes to sent_.
  void Start(TerminalInput& input) {
    input.StartNegotiation([this](std::string_view bytes) { sent_ += bytes; },
                           [this](const KeyboardNegotiation& answers) {
                             sent_ += KeyboardNegotiation::EnableSequence(answers.Decision());
                           });
  }
  // Negotiates, waiting as a pause would until it is over, keeping what was
  // sent and how long it took.
  KeyProtocol Negotiate(TerminalInput& input) {
    const Clock::time_point start = Clock::now();
    Start(input);
    while (input.Negotiating()) {
      pollfd ready{pipe_.ReadEnd(), POLLIN, 0};
      poll(&ready, 1, input.AnswerWaitMilliseconds());
      input.TakeAnswers();
    }
    elapsed_ = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    return input.Protocol();
  }

  testing_support::Pipe pipe_;
  std::string sent_;
  milliseconds elapsed_{};
};

TEST_F(TerminalInputNegotiationTest, AKittyTerminalGetsItsFlagsPushed) {
  TerminalInput input(pipe_.ReadEnd());
  Answer("x\x1b[?0u\x1b[?9001;0$y\x1b[?62c");
  EXPECT_EQ(Negotiate(input), KeyProtocol::kKitty);
  EXPECT_EQ(input.Protocol(), KeyProtocol::kKitty);
  EXPECT_EQ(sent_, "\x1b[?u\x1b[?9001$p\x1b[?66$p\x1b[c\x1b[>26u");
  EXPECT_LT(elapsed_, milliseconds(KeyboardNegotiation::kAnswerTimeoutMilliseconds));
  // The key typed before the answers is kept; keys decode as kitty's from now on.
  Answer("\x1b[57441;2u");
  KeyEvent event;
  ASSERT_TRUE(input.Next(event));
  EXPECT_EQ(event.character, 'x');
  ASSERT_TRUE(input.Next(event));
  EXPECT_EQ(event.virtualKey, 16);
  EXPECT_FALSE(input.Next(event));
}

TEST_F(TerminalInputNegotiationTest, AWin32InputTerminalGetsTheModeSet) {
  TerminalInput input(pipe_.ReadEnd());
  Answer("\x1b[?9001;2$y\x1b[?62c");
  EXPECT_EQ(Negotiate(input), KeyProtocol::kWin32Input);
  EXPECT_EQ(sent_, "\x1b[?u\x1b[?9001$p\x1b[?66$p\x1b[c\x1b[?9001h");
}

TEST_F(TerminalInputNegotiationTest, StartingReturnsBeforeTheAnswersAndKeysDecideAtTheDeadline) {
  TerminalInput input(pipe_.ReadEnd());
  Start(input);
  EXPECT_TRUE(input.Negotiating());
  EXPECT_EQ(sent_, "\x1b[?u\x1b[?9001$p\x1b[?66$p\x1b[c");
  // A wait for a key wakes no later than the negotiation's end.
  EXPECT_GT(input.TimeoutMilliseconds(), 0);
  EXPECT_LE(input.TimeoutMilliseconds(), KeyboardNegotiation::kAnswerTimeoutMilliseconds);
  Answer("k\x1b[?0u\x1b[?62c");
  KeyEvent event;
  ASSERT_TRUE(input.Next(event));
  EXPECT_EQ(event.character, 'k');
  EXPECT_FALSE(input.Negotiating());
  EXPECT_EQ(input.Protocol(), KeyProtocol::kKitty);
  EXPECT_EQ(input.TimeoutMilliseconds(), -1);
}

TEST_F(TerminalInputNegotiationTest, ASilentTerminalCostsOnlyTheTimeout) {
  TerminalInput input(pipe_.ReadEnd());
  EXPECT_EQ(Negotiate(input), KeyProtocol::kLegacy);
  EXPECT_EQ(sent_, "\x1b[?u\x1b[?9001$p\x1b[?66$p\x1b[c");
  EXPECT_GE(elapsed_, milliseconds(KeyboardNegotiation::kAnswerTimeoutMilliseconds));
  EXPECT_LT(elapsed_, milliseconds(KeyboardNegotiation::kAnswerTimeoutMilliseconds + 200));
  // A late answer never shows as keys.
  Answer("\x1b[?62cq");
  KeyEvent event;
  ASSERT_TRUE(input.Next(event));
  EXPECT_EQ(event.character, 'q');
  EXPECT_FALSE(input.Next(event));
}

}  // namespace
