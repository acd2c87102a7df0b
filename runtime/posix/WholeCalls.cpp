#include "runtime/posix/WholeCalls.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

int WriteAll(int fd, std::string_view bytes, std::atomic<size_t>* progress) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written > 0) {
      bytes.remove_prefix(static_cast<size_t>(written));
      if (progress != nullptr) *progress += static_cast<size_t>(written);
    } else if (written == 0) {
      return -1;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      pollfd ready{fd, POLLOUT, 0};
      poll(&ready, 1, -1);
    } else if (errno != EINTR) {
      return errno;
    }
  }
  return 0;
}

void SleepMilliseconds(uint32_t milliseconds) {
  timespec left{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}
