// What the child-process runner does alike on every system: reading for a
// while or until a condition holds, and running a child to its end.
#include "ChildProcess.h"

#include <thread>

namespace testing_support {

using namespace std::chrono_literals;

void ChildProcess::Drain(std::chrono::milliseconds duration) {
  const Clock::time_point end = Clock::now() + duration;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0) return;
    if (!open_) {
      std::this_thread::sleep_for(left);
      return;
    }
    ReadPiece(left);
  }
}

bool ChildProcess::ReadUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const Clock::time_point deadline = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() >= deadline) return false;
    Drain(5ms);
  }
  return true;
}

ChildRun RunChild(const std::vector<std::string>& arguments, ChildStreams streams,
                  const std::string& folder, std::chrono::milliseconds limit) {
  ChildProcess child(arguments, streams, folder);
  const std::optional<int> status = child.WaitExit(limit);
  return {child.Output(), status};
}

}  // namespace testing_support
