#include "FdTranscriptDevice.h"

#include <poll.h>

#include <cerrno>

#include "runtime/posix/WholeCalls.h"

void FdTranscriptDevice::WriteText(std::string_view text) {
  // A failed write is dropped: the run goes on without its record.
  WriteAll(outputFd_, text);
}

void FdTranscriptDevice::WaitForEvent() {
  pollfd entry = {input_.Fd(), POLLIN, 0};
  while (poll(&entry, 1, input_.TimeoutMilliseconds()) < 0 && errno == EINTR) {
  }
}

void FdTranscriptDevice::Sleep(uint32_t milliseconds) {
  SleepMilliseconds(milliseconds);
}
