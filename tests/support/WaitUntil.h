// Polling for what a test waits on in another process: a screen, a file.
#pragma once

#include <chrono>
#include <functional>

namespace testing_support {

/// Polls `done` every `interval` until it holds; false when `timeout` runs out first.
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10),
               std::chrono::milliseconds interval = std::chrono::milliseconds(20));

}  // namespace testing_support
