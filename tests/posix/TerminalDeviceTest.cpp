#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "posix/TerminalDevice.h"
#include "support/posix/Pipe.h"

namespace {

// A terminal device drawing into a pipe, which is no terminal: an 80 by 25
// grid and no terminal modes, so the bytes it sends can be read back exactly.
class TerminalDeviceOnPipe : public ::testing::Test {
 protected:
  void SetUp() override {
    device_.emplace(-1, output_.WriteEnd());
    device_->Start();
  }

  std::string Sent() { return output_.ReadAvailable(); }

  testing_support::Pipe output_;
  std::optional<TerminalDevice> device_;
};

TEST_F(TerminalDeviceOnPipe, StartsWithTheFallbackGridAndPlacesTheCursorAtOnce) {
  EXPECT_EQ(device_->GridSize(), (Point{80, 25}));
  EXPECT_EQ(device_->VisibleArea(), (Rect{1, 1, 80, 25}));
  EXPECT_EQ(device_->CurrentAttribute(), 0x07);
  EXPECT_EQ(Sent(), "");
  // The shell left the cursor anywhere: the first Present places it, even at (1, 1).
  device_->SetCursor({1, 1});
  device_->Present();
  EXPECT_EQ(Sent(), "\x1b[H");
  device_->Present();
  EXPECT_EQ(Sent(), "");
}

TEST_F(TerminalDeviceOnPipe, PresentSendsOnlyTheChangesAndTheCursorWhenItMoved) {
  device_->WriteCells({3, 2}, "ab", 0x70);
  device_->SetCursor({5, 2});
  device_->Present();
  EXPECT_EQ(Sent(), "\x1b[2;3H\x1b[0;30;47mab");
  device_->Present();
  EXPECT_EQ(Sent(), "");

  device_->SetCursor({1, 1});
  device_->Present();
  EXPECT_EQ(Sent(), "\x1b[H");

  device_->WriteCells({3, 2}, "ac", 0x70);
  device_->Present();
  EXPECT_EQ(Sent(), "\n\x1b[3Cc\x1b[H");
}

TEST_F(TerminalDeviceOnPipe, APauseGivesTheTerminalItsOwnColoursOnceAndTheNextDrawSetsThemAgain) {
  device_->WriteCells({1, 1}, "a", 0x70);
  device_->Present();
  Sent();
  device_->Sleep(0);
  device_->Sleep(0);
  EXPECT_EQ(Sent(), "\x1b[0m");
  device_->WriteCells({2, 1}, "b", 0x70);
  device_->Present();
  EXPECT_EQ(Sent(), "\x1b[C\x1b[30;47mb\r");
}

TEST_F(TerminalDeviceOnPipe, ClearingInTheStartingColoursStillDrawsTheCells) {
  device_->FillRect({1, 1, 3, 1}, Cell{' ', 0x07});
  device_->Present();
  EXPECT_EQ(Sent(), "\x1b[H\x1b[0;37;40m   \r");
}

TEST_F(TerminalDeviceOnPipe, AFullWidthScrollSendsEarlierCellsFirstThenTheScrollRegion) {
  device_->FillRect({1, 20, 80, 23}, Cell{' ', 0x20});
  device_->Present();
  Sent();
  device_->WriteCells({1, 23}, "x", 0x20);
  device_->ScrollUp({1, 20, 80, 23}, Cell{'-', 0x20});
  device_->SetCursor({1, 23});
  device_->Present();
  EXPECT_EQ(Sent(), "\x1b[23Hx\x1b[20;23r\x1b[S\x1b[r\x1b[23H" + std::string(80, '-') + "\r");
  EXPECT_EQ(device_->Grid().RowText(22, 1, 1), "x");
}

TEST_F(TerminalDeviceOnPipe, APartialWidthScrollIsDrawnAsChangedCells) {
  device_->FillRect({11, 4, 50, 6}, Cell{' ', 0x17});
  device_->WriteCells({11, 6}, "ab", 0x17);
  device_->Present();
  Sent();
  device_->ScrollUp({11, 4, 50, 6}, Cell{' ', 0x17});
  device_->Present();
  EXPECT_EQ(Sent(), "\x1b[5;11Hab\n\b\b  \x1b[H");
}

TEST_F(TerminalDeviceOnPipe, ShutdownResetsTheColoursOnceAndThenSendsNothingMore) {
  device_->Shutdown();
  EXPECT_EQ(Sent(), "\x1b[0m");
  device_->Shutdown();
  device_->WriteCells({1, 1}, "late", 0x70);
  device_->Present();
  EXPECT_EQ(Sent(), "");
}

TEST_F(TerminalDeviceOnPipe, ShutdownSendsWhatAScrollLeftPendingAndPlacesTheCursor) {
  device_->FillRect({1, 1, 80, 25}, Cell{' ', 0x07});
  device_->Present();
  Sent();
  device_->WriteCells({1, 25}, "z", 0x07);
  device_->ScrollUp({1, 1, 80, 25}, Cell{' ', 0x07});
  device_->SetCursor({2, 24});
  device_->Shutdown();
  EXPECT_EQ(Sent(), "\x1b[25Hz\n\x1b[24;2H\x1b[0m");
}

}  // namespace
