// A console unit started on a memory device, for tests of the console unit
// and the layers above it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "console/Crt.h"
#include "console/CrtDriver.h"
#include "console/MemoryDevice.h"
#include "support/KeyEvents.h"

namespace testing_support {

class ConsoleTest : public ::testing::Test {
 protected:
  explicit ConsoleTest(int width = 80, int height = 25) : device_(width, height) {}
  void SetUp() override {
    CrtAttach(device_);
    CrtTakeOverStreams();
  }

  /// Queues the presses of every byte of `text` as ordinary characters.
  void Type(std::string_view text) {
    for (char c : text) Queue(CharKey(c));
  }
  void Queue(const KeyEvent& event) { device_.QueueEvent(event); }

  /// Row `y` of the screen from column `left` to `right` (0: the last column).
  std::string Row(int y, int left = 1, int right = 0) const {
    return device_.Grid().RowText(y, left, right);
  }
  /// Row `y` with its trailing blanks removed.
  std::string TrimmedRow(int y) const;
  uint8_t AttrAt(int x, int y) { return device_.Grid().At({x, y}).attribute; }
  Point Cursor() { return device_.Cursor(); }

  MemoryDevice device_;
};

}  // namespace testing_support
