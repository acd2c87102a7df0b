#include "MemoryDevice.h"

bool MemoryDevice::PollEvent(KeyEvent& event) {
  if (events_.empty()) return false;
  event = events_.front();
  events_.pop_front();
  return true;
}
