// The console unit's state: the device it works on, the text attribute, the
// output window and the keyboard's pending key. The screen and the keyboard
// both work on it; neither knows the other.
#pragma once

#include <cstdint>

#include "ConsoleDevice.h"

/// The attribute every cell written, cleared or scrolled in receives.
extern uint8_t TextAttr;
/// The output window in screen coordinates, 1-based and inclusive.
extern uint32_t WindMinX, WindMinY, WindMaxX, WindMaxY;

/// The key code waiting to be delivered; 0 means none.
extern uint8_t PendingKey;
/// The waiting code belongs to an extended key: a 0 is delivered before it.
extern bool ExtendedPending;
/// A character code being composed with Alt held and the keypad's digit keys.
extern bool AltNumberStarted;
extern uint8_t AltNumber;
/// Whether Ctrl+Z ends line input; nothing in the program sets it.
extern bool CheckEOF;

/// The device the console unit works on.
ConsoleDevice& CrtDevice();
/// Puts the unit on `device`: TextAttr and the window taken from the device,
/// the keyboard state cleared.
void CrtAttach(ConsoleDevice& device);
/// Clears the keyboard state, as at start-up.
void ClearKeyboardState();
