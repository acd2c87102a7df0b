// The memory device: cells, cursor and a scripted queue of key events in
// memory. Tests drive the console unit on it; its clock only counts the
// milliseconds slept, so pauses cost no time.
#pragma once

#include <deque>

#include "GridDevice.h"

class MemoryDevice : public GridDevice {
 public:
  using GridDevice::GridDevice;

  /// Queues events; an empty queue ends the input, as the end of a script does.
  void QueueEvent(const KeyEvent& event) { events_.push_back(event); }
  /// The milliseconds slept so far.
  uint64_t SleptMilliseconds() const { return slept_; }
  /// How often Present was called; a statement's text is shown when it returns.
  int PresentCount() const { return presents_; }

  void Present() override { ++presents_; }
  bool PollEvent(KeyEvent& event) override;
  void WaitForEvent() override {}
  bool InputEnded() override { return events_.empty(); }
  void Sleep(uint32_t milliseconds) override { slept_ += milliseconds; }

 private:
  std::deque<KeyEvent> events_;
  uint64_t slept_ = 0;
  int presents_ = 0;
};
