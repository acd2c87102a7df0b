// The start-up negotiation over a pipe standing in for a terminal: the queries,
// the bounded wait, what each kind of answer decides (the key reporting, the
// capabilities), and keys typed meanwhile kept, whatever else arrives.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <optional>
#include <string>

#include "posix/TerminalInput.h"
#include "support/posix/Pipe.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kTimeout{TerminalNegotiation::kAnswerTimeoutMilliseconds};
constexpr TerminalCapabilities kEightColours{.erasesInCurrentColour = true, .brightColours = false};
constexpr TerminalCapabilities kSixteenColours{.erasesInCurrentColour = true};
const std::string kAttributes = "\x1b[?62;22c";

class TerminalInputNegotiationTest : public ::testing::Test {
 protected:
  // Negotiates with a terminal `described` describes, waiting as a pause would
  // until it is over, keeping how long it took.
  TerminalNegotiation Negotiate(TerminalInput& input, const TerminalCapabilities& described) {
    const Clock::time_point start = Clock::now();
    input.AwaitAnswers(described);
    std::optional<TerminalNegotiation> finished;
    while (!finished) {
      EXPECT_TRUE(input.Negotiating());
      pollfd ready{pipe_.ReadEnd(), POLLIN, 0};
      poll(&ready, 1, input.AnswerWaitMilliseconds());
      finished = input.TakeAnswers();
    }
    EXPECT_FALSE(input.Negotiating());
    elapsed_ = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    return *finished;
  }
  // The characters of the key presses that have arrived.
  std::string Keys(TerminalInput& input) {
    std::string keys;
    KeyEvent event;
    while (input.Next(event))
      if (event.keyDown) keys += static_cast<char>(event.character);
    return keys;
  }

  testing_support::Pipe pipe_;
  milliseconds elapsed_{};
};

TEST_F(TerminalInputNegotiationTest, EachKindOfAnswerDecidesWhatItShould) {
  const std::string endless = "\x1b]4;8;" + std::string(1000, '7');
  const struct {
    const char* what;
    TerminalCapabilities described;
    std::string answers;
    KeyProtocol protocol;
    TerminalCapabilities capabilities;
  } cases[] = {
      {"kitty", kSixteenColours, "x\x1b[?0u\x1b[?9001;0$y\x1b[>1;4000;29c" + kAttributes,
       KeyProtocol::kKitty, kSixteenColours},
      {"win32-input-mode", kSixteenColours, "x\x1b[?9001;2$y" + kAttributes,
       KeyProtocol::kWin32Input, kSixteenColours},
      {"xterm: colour 8 reported", kEightColours,
       "x\x1b]4;8;rgb:7f7f/7f7f/7f7f\x07\x1b[>41;379;0c" + kAttributes, KeyProtocol::kLegacy,
       kSixteenColours},
      {"mlterm: colour 8 reported, ended by ST", kEightColours,
       "x\x1b]4;8;rgb:8080/8080/8080\x1b\\\x1b[>24;279;0c" + kAttributes, KeyProtocol::kLegacy,
       kSixteenColours},
      {"a number of colours, not asked for", kEightColours,
       "x\x1bP1+r436f=323536\x1b\\" + kAttributes, KeyProtocol::kLegacy, kEightColours},
      {"GNU screen",
       kSixteenColours,
       "x\x1b[>83;40900;0c" + kAttributes,
       KeyProtocol::kLegacy,
       {.erasesInCurrentColour = false}},
      {"a name and version alone", kEightColours, "x\x1bP>|XTerm(379)\x1b\\" + kAttributes,
       KeyProtocol::kLegacy, kEightColours},
      {"only the device attributes", kEightColours, "x" + kAttributes, KeyProtocol::kLegacy,
       kEightColours},
      {"malformed answers", kEightColours,
       "x\x1b]4;8\x1bP1+r436f=zz\x1b\\\x1b[>c\x1b]4;x8;rgb:0/0/0\x07\x1b]4;8;?\x07" + kAttributes,
       KeyProtocol::kLegacy, kEightColours},
      {"endless answers, ended by ST, by BEL and cut off", kEightColours,
       "x" + endless + "\x1b\\" + endless + "\x07" + endless + kAttributes, KeyProtocol::kLegacy,
       kEightColours},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TerminalInput input(pipe_.ReadEnd());
    pipe_.Write(c.answers);
    const TerminalNegotiation answers = Negotiate(input, c.described);
    EXPECT_LT(elapsed_, kTimeout);
    EXPECT_EQ(answers.Decision(), c.protocol);
    EXPECT_EQ(input.Protocol(), c.protocol);
    EXPECT_EQ(answers.Capabilities(), c.capabilities);
    // The key typed before the answers is kept; then only keys typed after them.
    pipe_.Write("yz");
    EXPECT_EQ(Keys(input), "xyz");
  }
}

TEST_F(TerminalInputNegotiationTest, StartingReturnsBeforeTheAnswersAndKeysDecideAtTheDeadline) {
  TerminalInput input(pipe_.ReadEnd());
  EXPECT_EQ(input.AwaitAnswers({}), "\x1b[?u\x1b[?9001$p\x1b[?66$p\x1b[>c\x1b[c");
  EXPECT_TRUE(input.Negotiating());
  // A wait for a key wakes no later than the negotiation's end.
  EXPECT_GT(input.TimeoutMilliseconds(), 0);
  EXPECT_LE(input.TimeoutMilliseconds(), kTimeout.count());
  pipe_.Write("k\x1b[?0u\x1b[?62c");
  EXPECT_EQ(Keys(input), "k");
  ASSERT_TRUE(input.TakeAnswers().has_value());
  EXPECT_FALSE(input.Negotiating());
  EXPECT_EQ(input.Protocol(), KeyProtocol::kKitty);
  EXPECT_EQ(input.TimeoutMilliseconds(), -1);
  EXPECT_FALSE(input.TakeAnswers().has_value());
}

TEST_F(TerminalInputNegotiationTest,
       ASilentTerminalCostsOnlyTheTimeoutAndLateAnswersChangeNothing) {
  TerminalInput input(pipe_.ReadEnd());
  const TerminalNegotiation answers = Negotiate(input, kEightColours);
  EXPECT_EQ(answers.Decision(), KeyProtocol::kLegacy);
  EXPECT_EQ(answers.Capabilities(), kEightColours);
  // The deadline counts whole milliseconds of the clock, the first one in
  // full: it may come up to a millisecond early by this clock.
  EXPECT_GE(elapsed_, kTimeout - milliseconds(1));
  EXPECT_LT(elapsed_, kTimeout + milliseconds(200));
  // Late answers never show as keys, nor start anything again.
  pipe_.Write("\x1b]4;8;rgb:7f7f/7f7f/7f7f\x07\x1b[?0u\x1b[>83;1;0c\x1b[?62cq");
  EXPECT_EQ(Keys(input), "q");
  EXPECT_FALSE(input.TakeAnswers().has_value());
  EXPECT_EQ(input.Protocol(), KeyProtocol::kLegacy);
}

}  // namespace
