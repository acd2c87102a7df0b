// The memory device: cells, cursor and a scripted queue of key events in
// memory. Tests drive the console unit on it; its clock only counts the
// milliseconds slept, so pauses cost no time.
#pragma once

#include <deque>

#include "CellGrid.h"
#include "ConsoleDevice.h"

class MemoryDevice : public ConsoleDevice {
 public:
  explicit MemoryDevice(int width = 80, int height = 25, uint8_t attribute = 0x07);

  CellGrid& Grid() { return grid_; }
  const CellGrid& Grid() const { return grid_; }
  /// Queues events; an empty queue ends the input, as the end of a script does.
  void QueueEvent(const KeyEvent& event) { events_.push_back(event); }
  /// The milliseconds slept so far.
  uint64_t SleptMilliseconds() const { return slept_; }
  /// How often Present was called; a statement's text is shown when it returns.
  int PresentCount() const { return presents_; }
  /// The code page that was in force for the last cell write.
  uint32_t CodePageOfLastWrite() const { return codePageOfLastWrite_; }

  Point GridSize() override { return {grid_.Width(), grid_.Height()}; }
  Rect VisibleArea() override { return {1, 1, grid_.Width(), grid_.Height()}; }
  uint8_t CurrentAttribute() override { return attribute_; }
  Point Cursor() override { return cursor_; }
  void SetCursor(Point position) override { cursor_ = position; }
  void WriteCells(Point at, std::string_view bytes, uint8_t attribute) override;
  void FillRect(Rect area, Cell fill) override { grid_.Fill(area, fill); }
  void ScrollUp(Rect area, Cell fill) override { grid_.ScrollUp(area, fill); }
  void Present() override { ++presents_; }
  uint32_t OutputCodePage() override { return codePage_; }
  void SetOutputCodePage(uint32_t codePage) override { codePage_ = codePage; }
  bool PollEvent(KeyEvent& event) override;
  void WaitForEvent() override {}
  bool InputEnded() override { return events_.empty(); }
  void Sleep(uint32_t milliseconds) override { slept_ += milliseconds; }

 private:
  CellGrid grid_;
  uint8_t attribute_;
  Point cursor_{1, 1};
  std::deque<KeyEvent> events_;
  uint64_t slept_ = 0;
  int presents_ = 0;
  uint32_t codePage_ = 65001;
  uint32_t codePageOfLastWrite_ = 0;
};
