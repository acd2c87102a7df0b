// The start-up negotiation of the key reporting: the terminal's answers
// against the decision, its deadline, and the answers found among key bytes
// whenever they come, never taken as keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/KeyEvents.h"
#include "terminal/KeyDecoder.h"
#include "terminal/KeyboardProtocol.h"

namespace {

using Kind = TerminalReply::Kind;
constexpr TerminalReply kAttributes{Kind::kDeviceAttributes};
constexpr TerminalReply kKittyFlags{Kind::kKittyFlags, 0, 0};

TerminalReply ModeReport(int mode, int state) {
  return {Kind::kModeReport, mode, state};
}

TEST(KeyboardProtocolTest, AnswersDecideTheKeyReporting) {
  const struct {
    std::vector<TerminalReply> answers;
    KeyProtocol decision;
    std::string enable;
    std::string restore;
  } cases[] = {
      {{}, KeyProtocol::kLegacy, "", ""},
      {{kAttributes}, KeyProtocol::kLegacy, "", ""},
      {{kKittyFlags, ModeReport(9001, 0), kAttributes},
       KeyProtocol::kKitty,
       "\x1b[>26u",
       "\x1b[<u"},
      {{kKittyFlags, ModeReport(9001, 2), kAttributes},
       KeyProtocol::kKitty,
       "\x1b[>26u",
       "\x1b[<u"},
      {{ModeReport(9001, 2), kAttributes}, KeyProtocol::kWin32Input, "\x1b[?9001h", "\x1b[?9001l"},
      // Found on, it stays on.
      {{ModeReport(9001, 1), kAttributes}, KeyProtocol::kWin32Input, "\x1b[?9001h", "\x1b[?9001h"},
      {{ModeReport(9001, 0), kAttributes}, KeyProtocol::kLegacy, "", ""},  // not recognized
      {{ModeReport(9001, 4), kAttributes}, KeyProtocol::kLegacy, "", ""},  // permanently reset
      {{ModeReport(2026, 2), kAttributes}, KeyProtocol::kLegacy, "", ""},  // another mode
  };
  for (const auto& c : cases) {
    KeyboardNegotiation negotiation(0);
    for (const TerminalReply& answer : c.answers) negotiation.Take(answer);
    EXPECT_EQ(negotiation.Decision(), c.decision);
    EXPECT_EQ(KeyboardNegotiation::EnableSequence(c.decision), c.enable);
    EXPECT_EQ(negotiation.RestoreSequence(c.decision), c.restore);
  }
}

TEST(KeyboardProtocolTest, TheKeypadIsGivenBackInTheModeFound) {
  const struct {
    std::vector<TerminalReply> answers;
    std::string restore;
  } cases[] = {
      {{}, "\x1b>"},  // no answer: numeric mode, the default
      {{kAttributes}, "\x1b>"},
      {{ModeReport(66, 1), kAttributes}, "\x1b="},  // set
      {{ModeReport(66, 2), kAttributes}, "\x1b>"},  // reset
      {{ModeReport(66, 3), kAttributes}, "\x1b="},  // permanently set
      {{ModeReport(66, 0), kAttributes}, "\x1b>"},  // not recognized
      {{ModeReport(1, 1), kAttributes}, "\x1b>"},   // another mode
  };
  for (const auto& c : cases) {
    KeyboardNegotiation negotiation(0);
    for (const TerminalReply& answer : c.answers) negotiation.Take(answer);
    EXPECT_EQ(negotiation.KeypadRestoreSequence(), c.restore);
  }
}

TEST(KeyboardProtocolTest, TheDeviceAttributesOrTheDeadlineEndTheWait) {
  constexpr int64_t kSent = 5000;
  constexpr int64_t kLimit = kSent + KeyboardNegotiation::kAnswerTimeoutMilliseconds;
  KeyboardNegotiation answered(kSent);
  answered.Take(kKittyFlags);
  EXPECT_FALSE(answered.Finished(kSent + 1));
  answered.Take(kAttributes);
  EXPECT_TRUE(answered.Finished(kSent + 1));

  KeyboardNegotiation silent(kSent);
  EXPECT_EQ(silent.Deadline(), kLimit);
  EXPECT_FALSE(silent.Finished(kLimit - 1));
  EXPECT_TRUE(silent.Finished(kLimit));
  EXPECT_EQ(silent.Decision(), KeyProtocol::kLegacy);
  EXPECT_LE(KeyboardNegotiation::kAnswerTimeoutMilliseconds, 200);
}

TEST(KeyboardProtocolTest, TerminalsThatMisreadTheQueriesAreNotAsked) {
  EXPECT_FALSE(KeyboardNegotiation::WorthAsking(true, TerminalVariant::kLinuxConsole));
  EXPECT_FALSE(KeyboardNegotiation::WorthAsking(false, TerminalVariant::kXterm));
  EXPECT_TRUE(KeyboardNegotiation::WorthAsking(true, TerminalVariant::kXterm));
}

struct Decoded {
  std::vector<KeyEvent> events;
  std::vector<TerminalReply> replies;
};

Decoded DecodeBytewise(const std::string& bytes, KeyProtocol protocol) {
  KeyDecoder decoder;
  decoder.SetProtocol(protocol);
  for (const char byte : bytes) decoder.Feed(std::string(1, byte), 0);
  Decoded decoded{testing_support::TakeEvents(decoder), {}};
  TerminalReply reply;
  while (decoder.NextReply(reply)) decoded.replies.push_back(reply);
  EXPECT_TRUE(decoder.Empty());
  return decoded;
}

TEST(KeyboardProtocolTest, AnswersAreSetApartFromKeysWheneverTheyCome) {
  const std::string answers = "\x1b[?1u\x1b[?9001;2$y\x1b[?62;22c";
  const std::vector<TerminalReply> expected = {
      {Kind::kKittyFlags, 0, 1}, ModeReport(9001, 2), kAttributes};
  for (const KeyProtocol protocol :
       {KeyProtocol::kLegacy, KeyProtocol::kKitty, KeyProtocol::kWin32Input}) {
    SCOPED_TRACE(static_cast<int>(protocol));
    const Decoded alone = DecodeBytewise(answers, protocol);
    EXPECT_TRUE(alone.events.empty());
    EXPECT_EQ(alone.replies, expected);
    // Late answers among keys: only the keys come out.
    const Decoded mixed = DecodeBytewise("a" + answers + "\x1b[?9001;0$yb", protocol);
    ASSERT_EQ(mixed.events.size(), 2u);
    EXPECT_EQ(mixed.events[0].character, 'a');
    EXPECT_EQ(mixed.events[1].character, 'b');
  }
}

TEST(KeyboardProtocolTest, AnswersNobodyTakesAreNotHeldForever) {
  KeyDecoder decoder;
  for (int i = 0; i < 100; ++i) decoder.Feed("\x1b[?62c", 0);
  int kept = 0;
  TerminalReply reply;
  while (decoder.NextReply(reply)) ++kept;
  EXPECT_GT(kept, 0);
  EXPECT_LT(kept, 100);
}

}  // namespace
