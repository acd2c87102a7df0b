#include "TerminalInput.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "terminal/HeldKeys.h"

namespace {

// As much as one read takes; a paste longer than this is decoded over several calls.
constexpr std::size_t kReadChunk = 256;
// The most reads one look for the answers makes, so that a terminal that
// never stops sending cannot hold the program up.
constexpr int kMaxAnswerReads = 16;
// How long the end of a run waits for the releases of keys still held: a
// key tapped as the program ends comes up within tens of milliseconds.
constexpr int kReleaseWaitMilliseconds = 100;

// Milliseconds of the monotonic clock; async-signal-safe.
int64_t NowMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

bool TerminalInput::ReadOnce() {
  char buffer[kReadChunk];
  // poll with no timeout before each read keeps the read from blocking without
  // touching the descriptor's flags, which other users of the fd may rely on.
  for (;;) {
    if (endOfInput_) return false;
    pollfd entry = {fd_, POLLIN, 0};
    const int ready = poll(&entry, 1, 0);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    const ssize_t count = read(fd_, buffer, sizeof buffer);
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) return false;
    if (count <= 0) {
      // End of file, or an error such as EIO on a hung-up terminal: no more input will come.
      endOfInput_ = true;
      decoder_.Flush();
      return false;
    }
    decoder_.Feed(std::string_view(buffer, static_cast<std::size_t>(count)), NowMilliseconds());
    return true;
  }
}

void TerminalInput::ReadAvailable() {
  // Reading stops once an event is ready, so a long paste is not buffered whole.
  while (!decoder_.Ready() && ReadOnce()) {
  }
}

bool TerminalInput::Take(KeyEvent& event) {
  if (decoder_.Next(event)) return true;
  ReadAvailable();
  decoder_.Expire(NowMilliseconds());
  return decoder_.Next(event);
}

bool TerminalInput::Next(KeyEvent& event) {
  if (!Take(event)) return false;
  Follow(event);
  return true;
}

std::string_view TerminalInput::AwaitAnswers(const TerminalCapabilities& described) {
  negotiation_.emplace(described, NowMilliseconds());
  return negotiation_->Queries();
}

int TerminalInput::AnswerWaitMilliseconds() const {
  if (!negotiation_) return -1;
  const int64_t left = negotiation_->Deadline() - NowMilliseconds();
  return left <= 0 ? 0 : static_cast<int>(std::min<int64_t>(left, INT_MAX));
}

std::optional<TerminalNegotiation> TerminalInput::TakeAnswers() {
  if (!negotiation_) return std::nullopt;
  // What is waiting is read: an answer may come behind keys typed meanwhile.
  for (int reads = 0; reads < kMaxAnswerReads && ReadOnce(); ++reads) {
  }
  TerminalReply reply;
  while (decoder_.NextReply(reply)) negotiation_->Take(reply);
  if (!negotiation_->Finished(NowMilliseconds()) && !endOfInput_) return std::nullopt;
  std::optional<TerminalNegotiation> finished;
  finished.swap(negotiation_);
  decoder_.SetProtocol(finished->Decision());
  protocol_ = finished->Decision();
  return finished;
}

int TerminalInput::TimeoutMilliseconds() const {
  if (decoder_.Ready()) return 0;
  const int answers = AnswerWaitMilliseconds();
  if (!decoder_.Holding()) return answers;
  const int64_t left = std::max<int64_t>(decoder_.Deadline() - NowMilliseconds(), 0);
  const int escape = static_cast<int>(std::min<int64_t>(left, INT_MAX));
  return answers < 0 ? escape : std::min(escape, answers);
}

bool TerminalInput::Ended() const {
  return endOfInput_ && decoder_.Empty();
}

void TerminalInput::Follow(const KeyEvent& event) {
  if (!event.isKey) return;
  int at = 0;
  const int count = heldCount_;
  while (at < count && heldKeys_[at] != event.virtualKey) ++at;
  if (event.keyDown && at == count && count < kMaxHeld) {
    heldKeys_[count] = event.virtualKey;
    ++heldCount_;
  } else if (!event.keyDown && at < count) {
    heldKeys_[at] = heldKeys_[count - 1];
    --heldCount_;
  }
}

void TerminalInput::TakeHeldKeysReleases() {
  if (protocol_ == KeyProtocol::kLegacy) return;
  HeldKeys held(heldCount_);
  const int64_t deadline = NowMilliseconds() + kReleaseWaitMilliseconds;
  char buffer[kReadChunk];
  while (held.Held() > 0 && !endOfInput_) {
    const int64_t left = deadline - NowMilliseconds();
    if (left <= 0) return;
    pollfd entry = {fd_, POLLIN, 0};
    const int ready = poll(&entry, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return;
    const ssize_t count = read(fd_, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return;
    for (ssize_t i = 0; i < count; ++i) held.Feed(buffer[i]);
  }
}
