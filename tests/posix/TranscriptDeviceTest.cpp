#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "console/Crt.h"
#include "console/CrtDriver.h"
#include "posix/FdTranscriptDevice.h"
#include "runtime/StandardStreams.h"
#include "runtime/TextWrite.h"
#include "support/posix/Pipe.h"

namespace {

// The console unit on a transcript device whose text goes into a pipe.
class TranscriptDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    device_ = std::make_unique<FdTranscriptDevice>(keys_.ReadEnd(), text_.WriteEnd());
    CrtAttach(*device_);
    CrtTakeOverStreams();
  }
  // The text written so far.
  std::string Text() { return text_.ReadAvailable(); }

  testing_support::Pipe keys_;
  testing_support::Pipe text_;
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
  keys_.Write("\x1b[A");
  keys_.CloseWriteEnd();
  KeyEvent event;
  device_->WaitForEvent();
  ASSERT_TRUE(device_->PollEvent(event));
  EXPECT_EQ(event.scanCode, 72);
  EXPECT_FALSE(device_->PollEvent(event));
  EXPECT_TRUE(device_->InputEnded());
}

}  // namespace
