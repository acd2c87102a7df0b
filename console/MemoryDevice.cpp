#include "MemoryDevice.h"

void MemoryDevice::WriteCells(Point at, std::string_view bytes, uint8_t attribute) {
  GridDevice::WriteCells(at, bytes, attribute);
  codePageOfLastWrite_ = OutputCodePage();
}

bool MemoryDevice::PollEvent(KeyEvent& event) {
  if (events_.empty()) return false;
  event = events_.front();
  events_.pop_front();
  return true;
}
