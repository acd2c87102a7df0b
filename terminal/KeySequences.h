// The keys that terminals' escape sequences name, as PC key presses: the final
// byte of CSI and SS3 sequences, the number of CSI n ~, the Linux console's
// function keys; and the keys a terminal's description may declare sequences
// for. Modifiers are not part of these; the decoder adds them.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "console/ConsoleDevice.h"

/// Which terminal's meaning applies to the sequences that terminals disagree on.
enum class TerminalVariant {
  kXterm,         // SS3 P..S are F1..F4
  kLinuxConsole,  // SS3 Q, R, S are the keypad's '/', '*', '-'
};

/// A key by the name a terminal description gives it (terminfo's khome, kf1, ka1...).
struct KeyCapability {
  std::string_view name;
  KeyEvent event;
};
/// The keys whose sequences a terminal's description may declare, the cursor
/// and editing block before the keypad, whose keys some terminals share with it.
std::span<const KeyCapability> KeyCapabilities();

/// A key sequence a terminal's description declares, and its key.
struct DeclaredKey {
  std::string sequence;
  KeyEvent event;
};
/// The variant whose meaning applies on a terminal that declares `keys`: the
/// Linux console's where F1 is its CSI [ A.
TerminalVariant VariantOf(std::span<const DeclaredKey> keys);

/// The key of CSI x by its final byte x (cursor block, keypad 5, F1..F4); false for others.
bool CsiFinalKey(char final, KeyEvent& event);
/// The key of CSI n ~ by n (editing block, F1..F12); false for other numbers.
bool CsiNumberKey(int number, KeyEvent& event);
/// The key of the Linux console's CSI [ x (F1..F5); false for other bytes.
bool LinuxFunctionKey(char final, KeyEvent& event);
/// The key of SS3 x (cursor block, F1..F4, application keypad); false for others.
bool Ss3Key(char final, TerminalVariant variant, KeyEvent& event);
