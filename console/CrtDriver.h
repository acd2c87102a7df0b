// The console driver of the text streams: Output's buffer is placed on the
// screen by the character rules, Input's buffer is filled by the line editor.
#pragma once

#include "runtime/TextFile.h"

/// Binds a text stream to the console driver.
void AssignCrt(TextFile& file);
/// Binds Output and Input to the console driver and opens them, each followed
/// by the I/O check. The unit must be attached to its device first.
void CrtTakeOverStreams();
/// Shows the text a statement left in Output's buffer when a fatal error cut
/// it short; the device's shutdown calls it before the device closes.
void CrtShowPendingOutput();
