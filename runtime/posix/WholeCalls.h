// System calls that a signal may cut short, carried on until their work is done.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

/// Writes all of `bytes` to `fd`: a write cut short by a signal is repeated,
/// and a descriptor that cannot take more now is waited on. Adds each part
/// written to `progress` when one is given. Returns 0 when everything was
/// written, the errno of a failed write, or -1 when a write took nothing.
/// Async-signal-safe.
int WriteAll(int fd, std::string_view bytes, std::atomic<size_t>* progress = nullptr);

/// Sleeps `milliseconds`, the whole time however often a signal wakes it.
void SleepMilliseconds(uint32_t milliseconds);
