#include "MemoryDevice.h"

MemoryDevice::MemoryDevice(int width, int height, uint8_t attribute)
    : grid_(width, height, Cell{' ', attribute}), attribute_(attribute) {}

void MemoryDevice::WriteCells(Point at, std::string_view bytes, uint8_t attribute) {
  grid_.Write(at, bytes, attribute);
  codePageOfLastWrite_ = codePage_;
}

bool MemoryDevice::PollEvent(KeyEvent& event) {
  if (events_.empty()) return false;
  event = events_.front();
  events_.pop_front();
  return true;
}
