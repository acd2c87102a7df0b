#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "console/Crt.h"
#include "console/CrtDriver.h"
#include "posix/FdTranscriptDevice.h"
#include "runtime/StandardStreams.h"
#include "runtime/TextWrite.h"

namespace {

// The console unit on a transcript device whose text goes into a pipe.
class TranscriptDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(pipe(keys_), 0);
    ASSERT_EQ(pipe(text_), 0);
    device_ = std::make_unique<FdTranscriptDevice>(keys_[0], text_[1]);
    CrtAttach(*device_);
    CrtTakeOverStreams();
  }
  void TearDown() override {
    for (int fd : {keys_[0], keys_[1], text_[0], text_[1]}) close(fd);
  }
  // The text written so far.
  std::string Text() {
    std::string text;
    char buffer[4096];
    while (true) {
      pollfd entry{};
      entry.fd = text_[0];
      entry.events = POLLIN;
      if (poll(&entry, 1, 0) <= 0) break;
      const ssize_t count = read(text_[0], buffer, sizeof buffer);
      if (count <= 0) break;
      text.append(buffer, static_cast<size_t>(count));
    }
    return text;
  }

  int keys_[2];
  int text_[2];
  std::unique_ptr<FdTranscriptDevice> device_;
};

TEST_F(TranscriptDeviceTest, ClearingWritesThePageUpToItsLastRowWithText) {
  ClrScr();
  EXPECT_EQ(Text(), "");  // an empty page leaves nothing
  WriteLn(Output, "  title  ");
  WriteLn(Output);
  WriteLn(Output, "r\xe9sz");
  ClrScr();
  EXPECT_EQ(Text(), "  title\n\nr\xc3\xa9sz\n");
}

TEST_F(TranscriptDeviceTest, RowsScrollingOffTheTopAreWrittenAsTheyGo) {
  for (int row = 1; row <= 25; ++row) WriteLn(Output, row == 2 ? "" : "line");
  EXPECT_EQ(Text(), "line\n");
  WriteLn(Output, "more");
  EXPECT_EQ(Text(), "\n");  // the empty second row leaves too
}

TEST_F(TranscriptDeviceTest, FinishWritesTheLastScreen) {
  Window(1, 1, 80, 25);
  WriteLn(Output, "a\x01");
  Write(Output, "b");
  device_->Finish();
  EXPECT_EQ(Text(), "a\xe2\x98\xba\nb\n");  // control bytes as visible glyphs
}

TEST_F(TranscriptDeviceTest, KeysComeFromTheInputBytes) {
  ASSERT_EQ(write(keys_[1], "\x1b[A", 3), 3);
  close(keys_[1]);
  keys_[1] = -1;
  KeyEvent event;
  device_->WaitForEvent();
  ASSERT_TRUE(device_->PollEvent(event));
  EXPECT_EQ(event.scanCode, 72);
  EXPECT_FALSE(device_->PollEvent(event));
  EXPECT_TRUE(device_->InputEnded());
}

}  // namespace
