#include "KnownTerminals.h"

#include <optional>

namespace {

struct KnownTerminal {
  std::string_view entryPrefix;  // known by the entry's name; empty: not by it
  int kind;                      // known by its answer; kNoAnswer: not by it
  // What it differs in; nothing where it does as its entry declares.
  std::optional<bool> erasesInCurrentColour;
  std::optional<bool> repeatsCharacter;
  std::optional<bool> brightColours;
};

constexpr int kScreenKind = 83;  // 'S'

constexpr KnownTerminal kKnownTerminals[] = {
    // tmux carries out REP (measured), although its entries (tmux,
    // tmux-256color and the rest) do not declare it.
    {"tmux", TerminalIdentity::kNoAnswer, std::nullopt, true, std::nullopt},
    // GNU screen erases in colours of its own, whatever TERM says, unless its
    // user turns defbce on, and carries out no REP (both measured); it shows
    // SGR 90-97 although its entries declare eight colours, and answers no
    // query that would tell.
    {"", kScreenKind, false, false, true},
};

void Apply(const std::optional<bool>& known, bool& capability) {
  if (known) capability = *known;
}

bool Names(const KnownTerminal& known, const TerminalIdentity& identity) {
  if (!known.entryPrefix.empty()) return identity.entry.starts_with(known.entryPrefix);
  return known.kind == identity.kind;
}

}  // namespace

TerminalCapabilities WithKnownDifferences(TerminalCapabilities capabilities,
                                          const TerminalIdentity& identity) {
  for (const KnownTerminal& known : kKnownTerminals) {
    if (!Names(known, identity)) continue;
    Apply(known.erasesInCurrentColour, capabilities.erasesInCurrentColour);
    Apply(known.repeatsCharacter, capabilities.repeatsCharacter);
    Apply(known.brightColours, capabilities.brightColours);
  }
  return capabilities;
}
