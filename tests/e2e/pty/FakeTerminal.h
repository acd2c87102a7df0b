// The terminal's side of a pseudo-terminal that answers the start-up queries
// of the key_codes program, or of the program itself, as a kitty, a
// win32-input-mode, a plain xterm or a silent terminal would, and the
// sequences it expects to see turned on and off.
#pragma once

#include <string>
#include <string_view>

#include "KeyCodesProgram.h"
#include "support/TempFolder.h"

inline constexpr std::string_view kQueries = "\x1b[?u\x1b[?9001$p\x1b[?66$p\x1b[>c\x1b[c";
inline constexpr std::string_view kKittyPush = "\x1b[>26u";
inline constexpr std::string_view kKittyPop = "\x1b[<u";
inline constexpr std::string_view kWin32InputOn = "\x1b[?9001h";
inline constexpr std::string_view kWin32InputOff = "\x1b[?9001l";
inline constexpr std::string_view kKeypadApplication = "\x1b=";
inline constexpr std::string_view kKeypadNumeric = "\x1b>";

enum class Answers {
  kKitty,
  kWin32Input,
  kAttributesOnly,
  kKeypadApplication,  // an xterm whose keypad is in application mode already
  kNone,
};

/// Answers the start-up queries once a program has sent them.
class QueryAnswers {
 public:
  explicit QueryAnswers(Answers answers);
  /// Sends the answers to `program` the first time its output holds the queries.
  void Give(testing_support::ChildProcess& program);

 private:
  std::string answers_;
  bool given_ = false;
};

class FakeTerminal : public KeyCodesProgram {
 public:
  /// key_codes reading `what` (a number of keys, or "line"), ending as `ending` says.
  FakeTerminal(Answers answers, const std::string& what, const char* ending = "normal");

  /// Reads the output until the program is ready for keys and has set the
  /// keypad's mode and, when the terminal answers as one with full key events,
  /// turned them on (the answers are taken after the program is ready); false
  /// when it does not.
  bool WaitReady();

 private:
  void OnOutput() override { answers_.Give(*this); }

  QueryAnswers answers_;
  std::string_view turnedOn_;  // what the answers turn on; empty for none
};

/// The program itself on such a terminal, 80 by 25 cells unless the shell's
/// `stty` is given the size first ("rows 50000 cols 50000"), in `folder`.
class FakeTerminalRun : public testing_support::ChildProcess {
 public:
  FakeTerminalRun(Answers answers, const testing_support::TempFolder& folder,
                  const std::string& size = {});
  /// The run-time error report at the end of the output, its lines ending in
  /// CR LF again (a terminal writes the report's CR LF as CR CR LF).
  std::string Report() const;

 private:
  void OnOutput() override { answers_.Give(*this); }

  QueryAnswers answers_;
};

/// Checks that `output` turned `on` on before any `off`, and `off` after it.
void ExpectTurnedOnAndOff(const std::string& output, std::string_view on, std::string_view off);
