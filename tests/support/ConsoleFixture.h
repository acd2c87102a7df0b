// A console unit started on a memory device, and key events as a keyboard
// sends them, for tests of the console unit and the layers above it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "console/Crt.h"
#include "console/CrtDriver.h"
#include "console/MemoryDevice.h"

namespace testing_support {

/// A key press with a character (ordinary letters, digits, controls).
KeyEvent CharKey(char character, uint16_t virtualKey = 0, uint16_t scanCode = 0,
                 uint32_t controlState = 0);
/// A press of a key without a character (arrows, function keys), by its scan code.
KeyEvent ScanKey(uint16_t virtualKey, uint16_t scanCode, uint32_t controlState = 0);
/// The release of a key.
KeyEvent Release(uint16_t virtualKey, uint16_t scanCode = 0, uint32_t controlState = 0);

/// A key event as a decoder test expects it.
struct ExpectedKey {
  bool down;
  uint16_t virtualKey;
  uint16_t scanCode;
  uint8_t character;
  uint32_t controlState;
  uint16_t repeatCount = 1;
};
KeyEvent EventOf(const ExpectedKey& key);

/// Named keys of the cursor block as a PC keyboard sends them.
KeyEvent LeftKey();
KeyEvent RightKey();
KeyEvent HomeKey();
KeyEvent EndKey();
KeyEvent EnterKey();

class ConsoleTest : public ::testing::Test {
 protected:
  explicit ConsoleTest(int width = 80, int height = 25) : device_(width, height) {}
  void SetUp() override {
    CrtAttach(device_);
    CrtTakeOverStreams();
  }

  /// Queues the presses of every byte of `text` as ordinary characters.
  void Type(std::string_view text);
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
