// The terminal's description from the terminfo entries this machine has: what
// each entry declares, in the forms the renderer sends, and the safe
// description where TERM names no entry.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>

#include "posix/Terminfo.h"
#include "support/KeyEvents.h"

namespace {

using namespace testing_support;

// TERM set to `term` (unset for nothing) for as long as it lives.
class TermVariable {
 public:
  explicit TermVariable(const char* term) {
    if (const char* old = getenv("TERM")) old_ = old;
    if (term != nullptr)
      setenv("TERM", term, 1);
    else
      unsetenv("TERM");
  }
  ~TermVariable() {
    if (old_)
      setenv("TERM", old_->c_str(), 1);
    else
      unsetenv("TERM");
  }

 private:
  std::optional<std::string> old_;
};

// The sequence `description` declares for `event`; empty when none.
std::string SequenceOf(const TerminalDescription& description, const KeyEvent& event) {
  const auto key =
      std::find_if(description.keys.begin(), description.keys.end(),
                   [&](const DeclaredKey& declared) { return declared.event == event; });
  return key != description.keys.end() ? key->sequence : "";
}

TEST(Terminfo, DescribesATerminalByWhatItsEntryDeclares) {
  constexpr RightMargin kLate = RightMargin::kWrapsLate;
  const struct {
    const char* term;
    bool addressesCursor;
    bool erases, repeats, scrollsUpByCount;
    RightMargin margin;
    const char* home;  // the sequence of the Home key
    TerminalVariant variant;
  } cases[] = {
      {"xterm-256color", true, true, true, true, kLate, "\x1bOH", TerminalVariant::kXterm},
      {"screen", true, false, false, true, kLate, "\x1b[1~", TerminalVariant::kXterm},
      // tmux carries out REP, which its entry does not declare.
      {"tmux-256color", true, false, true, true, kLate, "\x1b[1~", TerminalVariant::kXterm},
      {"linux", true, true, false, false, kLate, "\x1b[1~", TerminalVariant::kLinuxConsole},
      {"vt100", true, false, false, false, kLate, "", TerminalVariant::kXterm},
      {"dumb", false, false, false, true, RightMargin::kUnknown, "", TerminalVariant::kXterm},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.term);
    const TermVariable term(c.term);
    const TerminalDescription description = DescribeTerminal(STDIN_FILENO);
    EXPECT_EQ(description.addressesCursor, c.addressesCursor);
    if (!c.addressesCursor) continue;
    const TerminalCapabilities& capabilities = description.capabilities;
    EXPECT_EQ(capabilities.erasesInCurrentColour, c.erases);
    EXPECT_EQ(capabilities.repeatsCharacter, c.repeats);
    EXPECT_EQ(capabilities.scrollsUpByCount, c.scrollsUpByCount);
    EXPECT_TRUE(capabilities.movesRelatively);
    EXPECT_TRUE(capabilities.setsScrollRegion);
    // screen and the Linux console declare eight colours, vt100 none.
    EXPECT_EQ(capabilities.brightColours,
              c.term == std::string("xterm-256color") || c.term == std::string("tmux-256color"));
    EXPECT_EQ(capabilities.rightMargin, c.margin);
    EXPECT_EQ(SequenceOf(description, HomeKey()), c.home);
    EXPECT_EQ(VariantOf(description.keys), c.variant);
  }
}

TEST(Terminfo, TakesTheSafeDescriptionWithoutAnEntry) {
  for (const char* name : {"no-such-terminal", "", static_cast<const char*>(nullptr)}) {
    SCOPED_TRACE(name != nullptr ? name : "TERM unset");
    const TermVariable term(name);
    const TerminalDescription description = DescribeTerminal(STDIN_FILENO);
    EXPECT_TRUE(description.addressesCursor);
    EXPECT_TRUE(description.keys.empty());
    EXPECT_EQ(description.capabilities, TerminalCapabilities{});
  }
}

}  // namespace
