// Key events from kitty's keyboard protocol: CSI code[:shifted[:base]] ;
// mods[:event] [; text] u, and the CSI n ; mods[:event] ~ and CSI 1 ; mods[:event]
// A-F, H, P, Q, S forms of the cursor, editing and function keys. Presses,
// repeats and releases of every key, lone modifiers and lock keys included,
// become the key events a PC keyboard gives on the US layout.
#pragma once

#include <string_view>

#include "console/ConsoleDevice.h"

class KittyKeys {
 public:
  /// The key event of CSI `parameters` `final`; false for a malformed sequence
  /// and for keys a PC keyboard does not have (Super, media keys, F13 and up).
  bool Decode(std::string_view parameters, char final, KeyEvent& event);

 private:
  // Which Alt and Ctrl keys are down, so that the modifier bits, which do not
  // tell left from right, name the key that is held.
  bool leftAlt_ = false;
  bool rightAlt_ = false;
  bool leftCtrl_ = false;
  bool rightCtrl_ = false;
};
