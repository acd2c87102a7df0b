#include "Terminfo.h"

#include <stdlib.h>

#include <string>
#include <string_view>

#include "terminal/ControlSequences.h"
#include "terminal/KnownTerminals.h"
#include "terminal/TerminalRenderer.h"

// Last: the terminfo header defines a macro for each capability name.
#include <term.h>

using namespace ControlSequences;

namespace {

// The colours a terminal has where SGR 90-97 give the bright foreground.
constexpr int kBrightColourCount = 16;

// A parameter above 1 and above 9, so that every digit of a form shows.
constexpr int kSample = 12;

// `text` without the delays ($<5>) that slow terminals ask to be padded with.
std::string WithoutPadding(std::string_view text) {
  std::string plain;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.substr(at).starts_with("$<") ? text.find('>', at) : std::string::npos;
    if (end == std::string::npos) {
      plain += text[at++];
    } else {
      at = end + 1;
    }
  }
  return plain;
}

// The string capability `name`, empty where the entry has none.
std::string_view StringOf(const char* name) {
  const char* value = tigetstr(name);
  if (value == nullptr || value == reinterpret_cast<const char*>(-1)) return {};
  return value;
}

// Whether the entry's `name` is `expected` with its parameters filled in.
bool Declares(const char* name, std::string_view expected, int first = 0, int second = 0) {
  const std::string form(StringOf(name));
  if (form.empty()) return false;
  const char* filled = tiparm(form.c_str(), first, second);
  return filled != nullptr && WithoutPadding(filled) == expected;
}

// Whether the entry's `name`, which takes no parameters, is `expected`.
bool Is(const char* name, std::string_view expected) {
  return WithoutPadding(StringOf(name)) == expected;
}

bool Flag(const char* name) {
  return tigetflag(name) > 0;
}

RightMargin RightMarginOf() {
  if (!Flag("am")) return RightMargin::kStays;
  return Flag("xenl") ? RightMargin::kWrapsLate : RightMargin::kWrapsAtOnce;
}

TerminalCapabilities CapabilitiesOf() {
  const bool erases = Flag("bce") && Is("el", kEraseToLineEnd) && Is("ed", kEraseToScreenEnd);
  const std::string repeated = 'x' + WithCount(kSample - 1, kRepeatFinal);
  const TerminalCapabilities declared{
      .erasesInCurrentColour = erases,
      .repeatsCharacter = Declares("rep", repeated, 'x', kSample),
      .brightColours = tigetnum("colors") >= kBrightColourCount,
      .movesRelatively = Declares("cuf", WithCount(kSample, kCursorForwardFinal), kSample) &&
                         Declares("cub", WithCount(kSample, kCursorBackwardFinal), kSample) &&
                         Declares("cuu", WithCount(kSample, kCursorUpFinal), kSample) &&
                         Declares("cud", WithCount(kSample, kCursorDownFinal), kSample) &&
                         Is("cub1", kBackspace),
      // terminfo counts rows from 0, the sequences from 1.
      .setsScrollRegion = Declares("csr", WithCounts(kSample + 1, kSample + 2, kScrollRegionFinal),
                                   kSample, kSample + 1),
      .scrollsUpByCount = Declares("indn", WithCount(kSample, kScrollUpFinal), kSample),
      .rightMargin = RightMarginOf(),
  };
  const char* term = getenv("TERM");
  return WithKnownDifferences(declared, {.entry = term != nullptr ? term : ""});
}

bool AddressesCursor() {
  char move[TerminalRenderer::kMaxCursorMove];
  const int length = TerminalRenderer::FormatCursorMove({kSample + 1, kSample + 2}, move);
  return Declares("cup", std::string_view(move, static_cast<size_t>(length)), kSample + 1, kSample);
}

std::vector<DeclaredKey> KeysOf() {
  std::vector<DeclaredKey> keys;
  for (const KeyCapability& key : KeyCapabilities()) {
    const std::string_view sequence = StringOf(std::string(key.name).c_str());
    if (!sequence.empty()) keys.push_back({std::string(sequence), key.event});
  }
  return keys;
}

}  // namespace

TerminalDescription DescribeTerminal(int fd) {
  // With somewhere to put the error, a missing entry is reported only there.
  constexpr int kFound = 1;
  int found = 0;
  if (setupterm(nullptr, fd, &found) != 0 || found != kFound) return {};
  TerminalDescription description{true, AddressesCursor(), CapabilitiesOf(), KeysOf()};
  del_curterm(cur_term);
  return description;
}
