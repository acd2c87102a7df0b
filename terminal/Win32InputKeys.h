// Key events from win32-input-mode records, CSI Vk ; Sc ; Uc ; Kd ; Cs ; Rc _,
// which carry a Windows console's key event field by field.
#pragma once

#include <string_view>

#include "console/ConsoleDevice.h"

/// The key event of one record, given the parameter bytes between CSI and the
/// final '_'; false when they are not up to six decimal numbers separated by ';'.
/// The character, a UTF-16 unit, becomes its Windows-1250 byte ('?' when the
/// code page has none).
bool DecodeWin32InputRecord(std::string_view parameters, KeyEvent& event);
