// The keys that terminals' escape sequences name, as PC key presses: the final
// byte of CSI and SS3 sequences, the number of CSI n ~, the Linux console's
// function keys. Modifiers are not part of these; the decoder adds them.
#pragma once

#include <string_view>

#include "console/ConsoleDevice.h"

/// Which terminal's meaning applies to the sequences that terminals disagree on.
enum class TerminalVariant {
  kXterm,         // SS3 P..S are F1..F4
  kLinuxConsole,  // SS3 Q, R, S are the keypad's '/', '*', '-'
};

/// The variant for a terminal type name (the TERM environment variable).
TerminalVariant VariantForTerm(std::string_view term);

/// The key of CSI x by its final byte x (cursor block, keypad 5, F1..F4); false for others.
bool CsiFinalKey(char final, KeyEvent& event);
/// The key of CSI n ~ by n (editing block, F1..F12); false for other numbers.
bool CsiNumberKey(int number, KeyEvent& event);
/// The key of the Linux console's CSI [ x (F1..F5); false for other bytes.
bool LinuxFunctionKey(char final, KeyEvent& event);
/// The key of SS3 x (cursor block, F1..F4, application keypad); false for others.
bool Ss3Key(char final, TerminalVariant variant, KeyEvent& event);
