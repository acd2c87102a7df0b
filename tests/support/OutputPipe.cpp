#include "OutputPipe.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

OutputPipe::OutputPipe() {
  EXPECT_EQ(pipe(fds_), 0);
  EXPECT_EQ(fcntl(fds_[0], F_SETFL, O_NONBLOCK), 0);
}

OutputPipe::~OutputPipe() {
  close(fds_[0]);
  close(fds_[1]);
}

std::string OutputPipe::Take() {
  std::string bytes;
  char buffer[4096];
  ssize_t count;
  while ((count = read(fds_[0], buffer, sizeof buffer)) > 0)
    bytes.append(buffer, static_cast<size_t>(count));
  return bytes;
}
