// The console device on a real console: a screen buffer of its own, read back
// cell by cell, and key records written into the console's input queue.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "console/CrtDriver.h"
#include "console/KeyCodes.h"
#include "console/Keyboard.h"
#include "support/KeyEvents.h"
#include "windows/Win32Console.h"

namespace {

using namespace testing_support;

class Win32ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetConsoleWindow() == nullptr && !AllocConsole()) GTEST_SKIP() << "no console";
    input_ = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
    output_ = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        CONSOLE_TEXTMODE_BUFFER, nullptr);
    ASSERT_NE(input_, INVALID_HANDLE_VALUE);
    ASSERT_NE(output_, INVALID_HANDLE_VALUE);
    // A console on a terminal (wine's) may turn the terminal's answers to its
    // start-up queries into key events: they are dropped until the input is quiet.
    while (WaitForSingleObject(input_, 300) == WAIT_OBJECT_0) {
      FlushConsoleInputBuffer(input_);
    }
    device_.emplace(input_, output_);
    const Point size = device_->GridSize();
    ASSERT_GE(size.x, 80);
    ASSERT_GE(size.y, 25);
  }
  void TearDown() override {
    if (output_ != nullptr) CloseHandle(output_);
    if (input_ != nullptr) CloseHandle(input_);
  }

  std::string Row(int y, int left, int right) {
    std::string text(static_cast<size_t>(right - left + 1), '\0');
    DWORD read = 0;
    ReadConsoleOutputCharacterA(output_, text.data(), static_cast<DWORD>(text.size()),
                                COORD{static_cast<SHORT>(left - 1), static_cast<SHORT>(y - 1)},
                                &read);
    text.resize(read);
    return text;
  }
  uint8_t Attribute(int x, int y) {
    WORD attribute = 0;
    DWORD read = 0;
    ReadConsoleOutputAttribute(output_, &attribute, 1,
                               COORD{static_cast<SHORT>(x - 1), static_cast<SHORT>(y - 1)}, &read);
    return static_cast<uint8_t>(attribute);
  }
  void Send(const std::vector<KeyEvent>& events) {
    for (const KeyEvent& event : events) {
      INPUT_RECORD record = {};
      record.EventType = KEY_EVENT;
      KEY_EVENT_RECORD& key = record.Event.KeyEvent;
      key.bKeyDown = event.keyDown;
      key.wRepeatCount = event.repeatCount;
      key.wVirtualKeyCode = event.virtualKey;
      key.wVirtualScanCode = event.scanCode;
      key.uChar.AsciiChar = static_cast<char>(event.character);
      key.dwControlKeyState = event.controlState;
      DWORD written = 0;
      WriteConsoleInputA(input_, &record, 1, &written);
    }
  }

  HANDLE input_ = nullptr;
  HANDLE output_ = nullptr;
  std::optional<Win32Console> device_;
};

TEST_F(Win32ConsoleTest, CellsAreWrittenFilledAndScrolledInPlace) {
  device_->FillRect({1, 1, 12, 3}, {'.', 0x70});
  device_->WriteCells({2, 1}, "abc", 0x78);
  device_->WriteCells({2, 2}, "def", 0x70);
  device_->WriteCells({2, 3}, "ghi", 0x1F);
  device_->ScrollUp({2, 1, 11, 3}, {' ', 0x70});
  EXPECT_EQ(Row(1, 1, 12), ".def........");
  EXPECT_EQ(Row(2, 1, 12), ".ghi........");
  EXPECT_EQ(Row(3, 1, 12), ".          .");
  EXPECT_EQ(Attribute(1, 1), 0x70) << "a column outside the scrolled area stays";
  EXPECT_EQ(Attribute(2, 2), 0x1F);
  EXPECT_EQ(Attribute(2, 3), 0x70);
  device_->SetCursor({5, 2});
  EXPECT_EQ(device_->Cursor(), (Point{5, 2}));
}

TEST_F(Win32ConsoleTest, KeyRecordsArriveAsTheyWereSent) {
  const std::vector<KeyEvent> sent = {
      CharKey('x', 'X', 45), Release('X', 45),
      KeyPress(VirtualKey::kShift, ScanCode::kLeftShift, 0, KeyState::kShift)};
  Send(sent);
  // Only key events count: a console may queue others of its own (focus, size).
  std::vector<KeyEvent> received;
  for (KeyEvent event; received.size() < sent.size() && device_->PollEvent(event);)
    if (event.isKey) received.push_back(event);
  EXPECT_EQ(received, sent);
}

// Keys a terminal cannot send, through the console unit's keyboard.
TEST_F(Win32ConsoleTest, KeysOnlyAConsoleSends) {
  CrtAttach(*device_);
  const uint16_t kDivideScan = ScanCode::kSlash;
  const struct {
    const char* what;
    std::vector<KeyEvent> events;
    std::vector<uint8_t> codes;
  } cases[] = {
      {"a lone Shift gives no key",
       {KeyPress(VirtualKey::kShift, ScanCode::kLeftShift, 0, KeyState::kShift),
        Release(VirtualKey::kShift, ScanCode::kLeftShift), CharKey('q')},
       {'q'}},
      {"Alt held with keypad 6 and 5 gives A",
       {KeyPress(VirtualKey::kAlt, ScanCode::kAlt, 0, KeyState::kLeftAlt),
        KeyPress(VirtualKey::kNumpad0 + 6, kKeypadDigitScanCodes[6], 0, KeyState::kLeftAlt),
        Release(VirtualKey::kNumpad0 + 6, kKeypadDigitScanCodes[6], KeyState::kLeftAlt),
        KeyPress(VirtualKey::kNumpad0 + 5, kKeypadDigitScanCodes[5], 0, KeyState::kLeftAlt),
        Release(VirtualKey::kNumpad0 + 5, kKeypadDigitScanCodes[5], KeyState::kLeftAlt),
        Release(VirtualKey::kAlt, ScanCode::kAlt)},
       {'A'}},
      {"keypad '/' is an extended key",
       {CharKey('/', VirtualKey::kDivide, kDivideScan, KeyState::kEnhanced)},
       {0, static_cast<uint8_t>(kDivideScan)}},
  };
  for (const auto& c : cases) {
    Send(c.events);
    for (uint8_t code : c.codes) EXPECT_EQ(ReadKey(), code) << c.what;
    EXPECT_FALSE(KeyPressed()) << c.what;
  }
}

}  // namespace
