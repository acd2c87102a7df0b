// The control sequences the renderer sends (ECMA-48, as xterm and its kin
// carry them out), named once: the renderer builds its output from them, and a
// terminal's description is compared with them before the renderer may use them.
#pragma once

#include <string>

namespace ControlSequences {

inline constexpr char kEscape = '\x1b';
inline constexpr char kCsi[] = "\x1b[";                 // control sequence introducer
inline constexpr char kCursorMoveFinal = 'H';           // CUP: CSI row;column H
inline constexpr char kGraphicRenditionFinal = 'm';     // SGR: CSI parameters m
inline constexpr char kScrollRegionFinal = 'r';         // DECSTBM: CSI top;bottom r
inline constexpr char kScrollUpFinal = 'S';             // SU: CSI n S
inline constexpr char kScrollUpOneLine[] = "\x1b[S";    // scrolls the scroll region up one line
inline constexpr char kResetScrollRegion[] = "\x1b[r";  // whole screen again; cursor to (1, 1)
inline constexpr char kEraseToLineEnd[] = "\x1b[K";     // EL: from the cursor to the end of its row
inline constexpr char kEraseToScreenEnd[] = "\x1b[J";   // ED: from the cursor to the screen's end
inline constexpr char kCursorForwardFinal = 'C';        // CUF: CSI n C
inline constexpr char kCursorBackwardFinal = 'D';       // CUB: CSI n D
inline constexpr char kCursorUpFinal = 'A';             // CUU: CSI n A
inline constexpr char kCursorDownFinal = 'B';           // CUD: CSI n B
inline constexpr char kBackspace[] = "\b";              // one column to the left
inline constexpr char kRepeatFinal = 'b';               // REP: the last character n more times

/// CSI n final, with n written out.
inline std::string WithCount(int count, char final) {
  return kCsi + std::to_string(count) + final;
}

/// CSI first;second final, with both written out.
inline std::string WithCounts(int first, int second, char final) {
  return kCsi + std::to_string(first) + ';' + std::to_string(second) + final;
}

}  // namespace ControlSequences
