#include "Pipe.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <stdexcept>

namespace testing_support {

Pipe::Pipe() {
  if (pipe(ends_) != 0) throw std::runtime_error("pipe failed");
}

Pipe::~Pipe() {
  close(ends_[0]);
  CloseWriteEnd();
}

void Pipe::Write(std::string_view bytes) const {
  EXPECT_EQ(write(ends_[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()))
      << "writing into the pipe";
}

void Pipe::CloseWriteEnd() {
  if (ends_[1] >= 0) close(ends_[1]);
  ends_[1] = -1;
}

std::string Pipe::ReadAvailable() const {
  std::string bytes;
  char buffer[4096];
  pollfd entry{ends_[0], POLLIN, 0};
  while (poll(&entry, 1, 0) > 0) {
    const ssize_t count = read(ends_[0], buffer, sizeof buffer);
    if (count <= 0) break;
    bytes.append(buffer, static_cast<size_t>(count));
  }
  return bytes;
}

}  // namespace testing_support
