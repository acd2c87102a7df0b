// The terminal's side of a pseudo-terminal that answers the key_codes
// program's start-up queries as a kitty, a win32-input-mode, a plain xterm or a
// silent terminal would, and the sequences it expects to see turned on and off.
#pragma once

#include <string>
#include <string_view>

#include "KeyCodesProgram.h"

inline constexpr std::string_view kQueries = "\x1b[?u\x1b[?9001$p\x1b[c";
inline constexpr std::string_view kKittyPush = "\x1b[>26u";
inline constexpr std::string_view kKittyPop = "\x1b[<u";
inline constexpr std::string_view kWin32InputOn = "\x1b[?9001h";
inline constexpr std::string_view kWin32InputOff = "\x1b[?9001l";
inline constexpr std::string_view kKeypadApplication = "\x1b=";
inline constexpr std::string_view kKeypadNumeric = "\x1b>";

enum class Answers { kKitty, kWin32Input, kAttributesOnly, kNone };

class FakeTerminal : public KeyCodesProgram {
 public:
  /// key_codes reading `what` (a number of keys, or "line"), ending as `ending` says.
  FakeTerminal(Answers answers, const std::string& what, const char* ending = "normal");

  /// Reads the output until the program is ready for keys and, when the
  /// terminal answers as one with full key events, has turned them on (the
  /// answers are taken after the program is ready); false when it does not.
  bool WaitReady();

 private:
  void OnOutput() override;

  std::string answers_;
  std::string_view turnedOn_;  // what the answers turn on; empty for none
  bool answered_ = false;
};

/// Checks that `output` turned `on` on before any `off`, and `off` after it.
void ExpectTurnedOnAndOff(const std::string& output, std::string_view on, std::string_view off);
