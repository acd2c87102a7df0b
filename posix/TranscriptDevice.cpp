#include "TranscriptDevice.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "console/Glyphs.h"

TranscriptDevice::TranscriptDevice(int inputFd, int outputFd)
    : input_(inputFd), outputFd_(outputFd) {}

int TranscriptDevice::LastRowWithText(Rect area) const {
  int last = area.bottom;
  while (last >= area.top &&
         Grid().RowText(last, area.left, area.right).find_first_not_of(' ') == std::string::npos)
    --last;
  return last;
}

void TranscriptDevice::WriteRows(Rect area, int last) {
  text_.clear();
  for (int y = area.top; y <= last; ++y) {
    std::string row = Grid().RowText(y, area.left, area.right);
    row.erase(row.find_last_not_of(' ') + 1);
    for (char byte : row) text_ += CellGlyph(static_cast<uint8_t>(byte));
    text_ += '\n';
  }
  // The transcript is a record of the screen: a reader that went away does not
  // end the run, so a failed write is dropped.
  for (size_t written = 0; written < text_.size();) {
    const ssize_t count = write(outputFd_, text_.data() + written, text_.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    written += static_cast<size_t>(count);
  }
}

void TranscriptDevice::FillRect(Rect area, Cell fill) {
  WriteRows(area, LastRowWithText(area));
  MemoryDevice::FillRect(area, fill);
}

void TranscriptDevice::ScrollUp(Rect area, Cell fill) {
  // The top row leaves the window: it is written out even when it is empty.
  WriteRows(area, area.top);
  MemoryDevice::ScrollUp(area, fill);
}

void TranscriptDevice::Finish() {
  const Rect screen{1, 1, Grid().Width(), Grid().Height()};
  WriteRows(screen, LastRowWithText(screen));
}

void TranscriptDevice::WaitForEvent() {
  pollfd entry = {input_.Fd(), POLLIN, 0};
  while (poll(&entry, 1, input_.TimeoutMilliseconds()) < 0 && errno == EINTR) {
  }
}

void TranscriptDevice::Sleep(uint32_t milliseconds) {
  timespec left = {static_cast<time_t>(milliseconds / 1000),
                   static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}
