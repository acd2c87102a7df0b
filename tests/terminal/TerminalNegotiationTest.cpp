// The start-up negotiation: the terminal's answers against the key reporting
// they decide (the capabilities they decide: posix/TerminalInputNegotiationTest),
// its queries and deadline, and the answers found among key bytes whenever
// they come, never taken as keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/KeyEvents.h"
#include "terminal/KeyDecoder.h"
#include "terminal/TerminalNegotiation.h"

namespace {

using Kind = TerminalReply::Kind;
constexpr TerminalReply kAttributes{Kind::kDeviceAttributes};
constexpr TerminalReply kKittyFlags{Kind::kKittyFlags, 0, 0};

TerminalReply ModeReport(int mode, int state) {
  return {Kind::kModeReport, mode, state};
}
TerminalReply TerminalKind(int kind, int version) {
  return {Kind::kSecondaryAttributes, kind, version};
}
TerminalReply ColourReport(int colour) {
  return {Kind::kColourReport, colour};
}

TEST(TerminalNegotiationTest, AnswersDecideTheKeyReporting) {
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
    TerminalNegotiation negotiation({}, 0);
    for (const TerminalReply& answer : c.answers) negotiation.Take(answer);
    EXPECT_EQ(negotiation.Decision(), c.decision);
    EXPECT_EQ(TerminalNegotiation::EnableSequence(c.decision), c.enable);
    EXPECT_EQ(negotiation.RestoreSequence(c.decision), c.restore);
  }
}

TEST(TerminalNegotiationTest, TheKeypadIsGivenBackInTheModeFound) {
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
    TerminalNegotiation negotiation({}, 0);
    for (const TerminalReply& answer : c.answers) negotiation.Take(answer);
    EXPECT_EQ(negotiation.KeypadRestoreSequence(), c.restore);
  }
}

TEST(TerminalNegotiationTest, ColoursAreAskedWhereTheDescriptionDeclaresFewerThanSixteen) {
  const std::string_view keyboard = "\x1b[?u\x1b[?9001$p\x1b[?66$p";
  const std::string_view last = "\x1b[>c\x1b[c";
  EXPECT_EQ(TerminalNegotiation({}, 0).Queries(), std::string(keyboard) + std::string(last));
  EXPECT_EQ(TerminalNegotiation({.brightColours = false}, 0).Queries(),
            std::string(keyboard) + "\x1b]4;8;?\x07" + std::string(last));
}

TEST(TerminalNegotiationTest, TheDeviceAttributesOrTheDeadlineEndTheWait) {
  constexpr int64_t kSent = 5000;
  constexpr int64_t kLimit = kSent + TerminalNegotiation::kAnswerTimeoutMilliseconds;
  TerminalNegotiation answered({}, kSent);
  answered.Take(kKittyFlags);
  EXPECT_FALSE(answered.Finished(kSent + 1));
  answered.Take(kAttributes);
  EXPECT_TRUE(answered.Finished(kSent + 1));

  TerminalNegotiation silent({}, kSent);
  EXPECT_EQ(silent.Deadline(), kLimit);
  EXPECT_FALSE(silent.Finished(kLimit - 1));
  EXPECT_TRUE(silent.Finished(kLimit));
  EXPECT_EQ(silent.Decision(), KeyProtocol::kLegacy);
  EXPECT_LE(TerminalNegotiation::kAnswerTimeoutMilliseconds, 200);
}

TEST(TerminalNegotiationTest, TerminalsThatMisreadTheQueriesAreNotAsked) {
  EXPECT_FALSE(TerminalNegotiation::WorthAsking(true, TerminalVariant::kLinuxConsole));
  EXPECT_FALSE(TerminalNegotiation::WorthAsking(false, TerminalVariant::kXterm));
  EXPECT_TRUE(TerminalNegotiation::WorthAsking(true, TerminalVariant::kXterm));
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

TEST(TerminalNegotiationTest, AnswersAreSetApartFromKeysWheneverTheyCome) {
  const std::string answers =
      "\x1b[?1u\x1b[?9001;2$y"
      "\x1b]4;8;rgb:7f7f/7f7f/7f7f\x07\x1b]4;8;rgb:7f7f/7f7f/7f7f\x1b\\"  // OSC 4, BEL and ST
      "\x1bP1+r436f=323536\x1b\\\x1bP>|XTerm(379)\x1b\\"  // XTGETTCAP, XTVERSION: not asked
      "\x1b[>83;40900;0c\x1b[?62;22c";
  const std::vector<TerminalReply> expected = {{Kind::kKittyFlags, 0, 1}, ModeReport(9001, 2),
                                               ColourReport(8),           ColourReport(8),
                                               TerminalKind(83, 40900),   kAttributes};
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

TEST(TerminalNegotiationTest, AnswersNobodyTakesAreNotHeldForever) {
  KeyDecoder decoder;
  for (int i = 0; i < 100; ++i) decoder.Feed("\x1b[?62c", 0);
  int kept = 0;
  TerminalReply reply;
  while (decoder.NextReply(reply)) ++kept;
  EXPECT_GT(kept, 0);
  EXPECT_LT(kept, 100);
}

}  // namespace
