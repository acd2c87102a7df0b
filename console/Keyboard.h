// The keyboard side of the console unit: key events become key codes, an
// extended key giving 0 first and its code at the next call.
#pragma once

#include <cstdint>

#include "CrtState.h"

/// True when a key is waiting. Never waits; consumes the device's input events.
bool KeyPressed();
/// Waits for a key and returns its code; an extended key gives 0 and then its code.
uint8_t ReadKey();
/// The extended code of a scan code under the modifiers of `controlState`;
/// `ordinary` is set for the codes that count as ordinary characters.
uint8_t RemapScanCode(uint16_t scanCode, uint32_t controlState, bool& ordinary);
