#include "StandardInputKeys.h"

#include <chrono>

namespace {

int64_t NowMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

constexpr DWORD kReadChunk = 256;

}  // namespace

StandardInputKeys::StandardInputKeys(HANDLE input)
    : input_(input), arrived_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  // A pipe, a file, or a console left in its line mode: keys come as lines of text.
  decoder_.SetLineEndsAsEnter(true);
  HANDLE thread = CreateThread(nullptr, 0, ReadLoop, this, 0, nullptr);
  if (thread != nullptr) {
    CloseHandle(thread);
    return;
  }
  // Without a reading thread there is no input at all.
  ended_ = true;
  SetEvent(arrived_);
}

DWORD WINAPI StandardInputKeys::ReadLoop(void* self) {
  auto& keys = *static_cast<StandardInputKeys*>(self);
  char buffer[kReadChunk];
  for (;;) {
    DWORD count = 0;
    const bool read = ReadFile(keys.input_, buffer, sizeof buffer, &count, nullptr);
    const std::lock_guard<std::mutex> hold(keys.lock_);
    // End of file, a broken pipe or any other failure: no more input will come.
    if (!read || count == 0) keys.ended_ = true;
    keys.gathered_.append(buffer, count);
    SetEvent(keys.arrived_);
    if (keys.ended_) return 0;
  }
}

void StandardInputKeys::TakeArrived() {
  const std::lock_guard<std::mutex> hold(lock_);
  if (!gathered_.empty()) decoder_.Feed(gathered_, NowMilliseconds());
  gathered_.clear();
  if (ended_ && !endTaken_) {
    endTaken_ = true;
    decoder_.Flush();
  }
  if (!ended_) ResetEvent(arrived_);
}

bool StandardInputKeys::Next(KeyEvent& event) {
  if (decoder_.Next(event)) return true;
  TakeArrived();
  decoder_.Expire(NowMilliseconds());
  return decoder_.Next(event);
}

void StandardInputKeys::Wait() {
  if (decoder_.Ready()) return;
  DWORD timeout = INFINITE;
  if (decoder_.Holding()) {
    const int64_t left = decoder_.Deadline() - NowMilliseconds();
    timeout = left <= 0 ? 0 : static_cast<DWORD>(left);
  }
  WaitForSingleObject(arrived_, timeout);
}
