#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>

#include "TerminalInput.h"

namespace {

int64_t NowMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// As much as one read takes; a paste longer than this is decoded over several calls.
constexpr std::size_t kReadChunk = 256;

}  // namespace

void TerminalInput::ReadAvailable() {
  char buffer[kReadChunk];
  // poll with no timeout before each read keeps the read from blocking without
  // touching the descriptor's flags, which other users of the fd may rely on.
  // Reading stops once an event is ready, so a long paste is not buffered whole.
  while (!endOfInput_ && !decoder_.Ready()) {
    pollfd entry = {fd_, POLLIN, 0};
    const int ready = poll(&entry, 1, 0);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return;
    const ssize_t count = read(fd_, buffer, sizeof buffer);
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (count <= 0) {
      // End of file, or an error such as EIO on a hung-up terminal: no more input will come.
      endOfInput_ = true;
      decoder_.Flush();
      return;
    }
    decoder_.Feed(std::string_view(buffer, static_cast<std::size_t>(count)), NowMilliseconds());
  }
}

bool TerminalInput::Next(KeyEvent& event) {
  if (decoder_.Next(event)) return true;
  ReadAvailable();
  decoder_.Expire(NowMilliseconds());
  return decoder_.Next(event);
}

int TerminalInput::TimeoutMilliseconds() const {
  if (decoder_.Ready()) return 0;
  if (!decoder_.Holding()) return -1;
  const int64_t left = decoder_.Deadline() - NowMilliseconds();
  return left <= 0 ? 0 : left > INT_MAX ? INT_MAX : static_cast<int>(left);
}

bool TerminalInput::Ended() const {
  return endOfInput_ && decoder_.Empty();
}
