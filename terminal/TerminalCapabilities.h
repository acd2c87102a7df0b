// What a terminal can do beyond addressing its cursor (CSI row;column H) and
// colouring text (SGR), as the renderer may rely on it. The platform's backend
// fills it from the terminal's own description; left as it starts, it is the
// safe set that any terminal addressing its cursor that way carries out.
#pragma once

/// Where the cursor goes once a character is written into the last column.
enum class RightMargin {
  kUnknown,      // terminals differ: only a return or an absolute move is sure to take it on
  kStays,        // no automatic margins: it stays there, the next character overwrites the cell
  kWrapsAtOnce,  // to the next row's first column at once, scrolling on the bottom row
  kWrapsLate,    // it waits there; the next character is written at the next row's start
};

struct TerminalCapabilities {
  /// Erasing (EL CSI K, ED CSI J) fills the cleared cells with the current
  /// background colour; elsewhere their colour is the terminal's choice. Their
  /// foreground stays the terminal's own either way, and the rows a scroll
  /// brings in are in colours of the terminal's choosing on every terminal.
  bool erasesInCurrentColour = false;
  /// REP (CSI n b) writes the character just written n more times.
  bool repeatsCharacter = false;
  /// SGR 90-97 give the bright foreground colours; elsewhere bold (SGR 1) does.
  bool brightColours = true;
  /// The relative moves CSI n A, B, C, D and BS one column to the left.
  bool movesRelatively = true;
  /// DECSTBM (CSI top;bottom r) limits scrolling to a band of rows.
  bool setsScrollRegion = true;
  /// SU (CSI n S) scrolls up without the cursor on the bottom row.
  bool scrollsUpByCount = true;
  RightMargin rightMargin = RightMargin::kUnknown;
  /// The terminal's driver turns each LF into CR LF on its way out.
  bool lineFeedReturns = false;
  friend bool operator==(const TerminalCapabilities&, const TerminalCapabilities&) = default;
};
