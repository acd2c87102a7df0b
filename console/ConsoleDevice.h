// The console device: the narrow interface the console unit is written against.
// A grid of cells (character byte and attribute byte), a cursor, filling and
// scrolling rectangles, a queue of key events, a sleep.
// Coordinates are 1-based screen positions, rectangles inclusive.
#pragma once

#include <cstdint>
#include <string_view>

/// What a console starts with: the standard text screen's size (also taken
/// when a console cannot tell its own) and light gray on black.
inline constexpr int kStandardWidth = 80;
inline constexpr int kStandardHeight = 25;
inline constexpr uint8_t kNormalAttribute = 0x07;

struct Cell {
  uint8_t character = ' ';
  uint8_t attribute = kNormalAttribute;
  friend bool operator==(const Cell&, const Cell&) = default;
};

struct Point {
  int x = 1;
  int y = 1;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  int left = 1;
  int top = 1;
  int right = 1;
  int bottom = 1;
  friend bool operator==(const Rect&, const Rect&) = default;
};

/// Modifier and key-kind bits of a key event, numbered as a Windows console's.
namespace KeyState {
inline constexpr uint32_t kRightAlt = 0x001;
inline constexpr uint32_t kLeftAlt = 0x002;
inline constexpr uint32_t kRightCtrl = 0x004;
inline constexpr uint32_t kLeftCtrl = 0x008;
inline constexpr uint32_t kShift = 0x010;
inline constexpr uint32_t kNumLock = 0x020;
inline constexpr uint32_t kScrollLock = 0x040;
inline constexpr uint32_t kCapsLock = 0x080;
inline constexpr uint32_t kEnhanced = 0x100;  // cursor block, keypad Enter and '/', right Alt/Ctrl
inline constexpr uint32_t kAlt = kLeftAlt | kRightAlt;
inline constexpr uint32_t kCtrl = kLeftCtrl | kRightCtrl;
}  // namespace KeyState

/// One event of the input queue. Only key events carry meaning; others
/// (focus, resize, mouse) are dropped by the keyboard.
struct KeyEvent {
  bool isKey = true;
  bool keyDown = true;
  uint16_t virtualKey = 0;
  uint16_t scanCode = 0;  // PC set 1
  uint8_t character = 0;  // Windows-1250 byte, 0 for keys that give none
  uint32_t controlState = 0;
  uint16_t repeatCount = 1;
  /// Ctrl+C from a terminal that reports it as a key rather than interrupting
  /// the program: the keyboard ends the run with it, as the interrupt would.
  bool interrupt = false;
  friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

class ConsoleDevice {
 public:
  virtual ~ConsoleDevice() = default;

  /// The size of the whole cell grid (columns, rows); {0, 0} when it cannot tell.
  virtual Point GridSize() = 0;
  /// The part of the grid that is shown.
  virtual Rect VisibleArea() = 0;
  /// The attribute the console itself is using.
  virtual uint8_t CurrentAttribute() = 0;

  virtual Point Cursor() = 0;
  virtual void SetCursor(Point position) = 0;
  /// Writes `bytes` into consecutive cells of one row from `at`, all in `attribute`.
  virtual void WriteCells(Point at, std::string_view bytes, uint8_t attribute) = 0;
  /// Sets every cell of `area` to `fill`.
  virtual void FillRect(Rect area, Cell fill) = 0;
  /// Moves the rows of `area` up by one within its columns; the bottom row becomes `fill`.
  virtual void ScrollUp(Rect area, Cell fill) = 0;
  /// Ends a batch of changes: everything changed so far is shown when it returns.
  virtual void Present() = 0;

  /// Takes the next waiting input event without waiting; false when none is waiting.
  virtual bool PollEvent(KeyEvent& event) = 0;
  /// Sleeps until an input event may be waiting (or input has ended); never spins.
  virtual void WaitForEvent() = 0;
  /// True once the input has ended for good and nothing is waiting.
  virtual bool InputEnded() = 0;

  virtual void Sleep(uint32_t milliseconds) = 0;
};
