// The console device on a real console: a screen buffer of its own, read back
// cell by cell, and key records written into the console's input queue. They
// run under several system code pages, none of which may change a letter.
#include <gtest/gtest.h>

#include <cstdlib>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "console/CrtDriver.h"
#include "console/KeyCodes.h"
#include "console/Keyboard.h"
#include "runtime/Win1250.h"
#include "support/KeyEvents.h"
#include "windows/Win32Console.h"

namespace {

using namespace testing_support;

class Win32ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetConsoleWindow() == nullptr && !AllocConsole()) GTEST_SKIP() << "no console";
    // The system code page the run is for, which wine takes from the locale's name.
    if (const char* codePage = std::getenv("RESZMATRIX_CODE_PAGE")) {
      ASSERT_EQ(GetACP(), std::strtoul(codePage, nullptr, 10));
    }
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

  std::wstring Row(int y, int left, int right) {
    std::wstring text(static_cast<size_t>(right - left + 1), L'\0');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(output_, text.data(), static_cast<DWORD>(text.size()),
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
  /// Queues the record of `event` with `character` as its character.
  void Send(const KeyEvent& event, wchar_t character) {
    INPUT_RECORD record = {};
    record.EventType = KEY_EVENT;
    KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    key.bKeyDown = event.keyDown;
    key.wRepeatCount = event.repeatCount;
    key.wVirtualKeyCode = event.virtualKey;
    key.wVirtualScanCode = event.scanCode;
    key.uChar.UnicodeChar = character;
    key.dwControlKeyState = event.controlState;
    DWORD written = 0;
    WriteConsoleInputW(input_, &record, 1, &written);
  }
  /// Queues the records of `events`, each with the character of its Windows-1250 byte.
  void Send(const std::vector<KeyEvent>& events) {
    for (const KeyEvent& event : events)
      Send(event, static_cast<wchar_t>(Win1250ToUnicode(event.character)));
  }
  /// The next key event; a console may queue others of its own (focus, size).
  bool NextKey(KeyEvent& event) {
    while (device_->PollEvent(event))
      if (event.isKey) return true;
    return false;
  }

  HANDLE input_ = nullptr;
  HANDLE output_ = nullptr;
  std::optional<Win32Console> device_;
};

// Filled with ő (byte 0xF5), the scroll's new row with ű (0xFB).
TEST_F(Win32ConsoleTest, CellsAreWrittenFilledAndScrolledInPlace) {
  device_->FillRect({1, 1, 12, 3}, {0xF5, 0x70});
  device_->WriteCells({2, 1}, "abc", 0x78);
  device_->WriteCells({2, 2}, "def", 0x70);
  device_->WriteCells({2, 3}, "ghi", 0x1F);
  device_->ScrollUp({2, 1, 11, 3}, {0xFB, 0x70});
  EXPECT_EQ(Row(1, 1, 12), L"ődefőőőőőőőő");
  EXPECT_EQ(Row(2, 1, 12), L"őghiőőőőőőőő");
  EXPECT_EQ(Row(3, 1, 12), L"őűűűűűűűűűűő");
  EXPECT_EQ(Attribute(1, 1), 0x70) << "a column outside the scrolled area stays";
  EXPECT_EQ(Attribute(2, 2), 0x1F);
  EXPECT_EQ(Attribute(2, 3), 0x70);
  device_->SetCursor({5, 2});
  EXPECT_EQ(device_->Cursor(), (Point{5, 2}));
}

// Whatever the system code page, each cell shows what its byte stands for in
// Windows-1250, as the system's own conversion from that code page says.
TEST_F(Win32ConsoleTest, CellsHoldTheWindows1250CharacterOfTheirByte) {
  std::string bytes(256, '\0');
  std::iota(bytes.begin(), bytes.end(), '\0');
  std::wstring characters(bytes.size(), L'\0');
  MultiByteToWideChar(1250, 0, bytes.data(), static_cast<int>(bytes.size()), characters.data(),
                      static_cast<int>(characters.size()));
  for (int row = 0; row < 4; ++row)
    device_->WriteCells({1, row + 1}, std::string_view(bytes).substr(row * 64, 64), 0x70);
  for (int row = 0; row < 4; ++row)
    EXPECT_EQ(Row(row + 1, 1, 64), characters.substr(static_cast<size_t>(row) * 64, 64));
}

TEST_F(Win32ConsoleTest, KeyRecordsArriveAsTheyWereSent) {
  const std::vector<KeyEvent> sent = {
      CharKey('x', 'X', 45), Release('X', 45),
      KeyPress(VirtualKey::kShift, ScanCode::kLeftShift, 0, KeyState::kShift)};
  Send(sent);
  std::vector<KeyEvent> received;
  for (KeyEvent event; received.size() < sent.size() && NextKey(event);) received.push_back(event);
  EXPECT_EQ(received, sent);
}

// A typed character arrives as its Windows-1250 byte; one that code page
// lacks, as '?', also when it comes as two halves.
TEST_F(Win32ConsoleTest, TypedCharactersArriveAsWindows1250Bytes) {
  const struct {
    const wchar_t* typed;
    uint8_t byte;
  } cases[] = {
      {L"ő", 0xF5}, {L"Ű", 0xDB}, {L"€", 0x80},         {L"õ", '?'},
      {L"ж", '?'},  {L"中", '?'}, {L"\U0001F600", '?'},
  };
  for (const auto& c : cases) {
    for (const wchar_t* unit = c.typed; *unit != L'\0'; ++unit) Send(CharKey(0), *unit);
    KeyEvent event;
    ASSERT_TRUE(NextKey(event)) << c.typed;
    EXPECT_EQ(event.character, c.byte) << c.typed;
    EXPECT_FALSE(NextKey(event)) << c.typed << " gives one key";
  }
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
