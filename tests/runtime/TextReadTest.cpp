#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/IoResult.h"
#include "runtime/TextFile.h"
#include "support/TempFolder.h"

namespace {

using testing_support::TempFolder;

// Opens a file holding `contents` for reading.
class TextReadTest : public ::testing::Test {
 protected:
  void Open(std::string_view contents) {
    Assign(file_, ShortString(dir_.Write("data.txt", contents)));
    Reset(file_);
    ASSERT_EQ(IOResult(), 0);
  }
  void TearDown() override {
    InOutRes = 0;
    if (file_.mode != FileMode::Closed) Close(file_);
    InOutRes = 0;
  }
  // Reads `count` numbers; stops at the first I/O result and returns it in `result`.
  std::vector<int32_t> ReadNumbers(int count, uint16_t& result) {
    std::vector<int32_t> values;
    for (int i = 0; i < count; ++i) {
      values.push_back(ReadInteger(file_));
      if ((result = IOResult()) != 0) break;
    }
    return values;
  }

  TempFolder dir_;
  TextFile file_;
};

TEST_F(TextReadTest, SeparatorsAreEveryByteUpTo32ButCtrlZ) {
  Open(
      " \t1\r\n\x01\x1f"
      "2\x0b\x0c 3");
  uint16_t result = 0;
  EXPECT_EQ(ReadNumbers(3, result), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(result, 0);
}

TEST_F(TextReadTest, EndOfDataAndCtrlZReadAsZeroWithoutError) {
  Open("5 \x1a 7");
  uint16_t result = 0;
  // The Ctrl+Z byte is never consumed: every later number reads 0 too.
  EXPECT_EQ(ReadNumbers(4, result), (std::vector<int32_t>{5, 0, 0, 0}));
  EXPECT_EQ(result, 0);
  ReadLineSkip(file_);
  EXPECT_EQ(ReadInteger(file_), 0);
}

TEST_F(TextReadTest, ANumberEndsAtCtrlZ) {
  Open("12\x1a");
  uint16_t result = 0;
  EXPECT_EQ(ReadNumbers(2, result), (std::vector<int32_t>{12, 0}));
}

TEST_F(TextReadTest, InvalidNumberGives106AndReadsNothingMore) {
  for (const char* contents : {"1 x 3", "1 q 3", "1 1.5 3", "1 $ 3", "1 99999999999 3"}) {
    Open(contents);
    uint16_t result = 0;
    EXPECT_EQ(ReadNumbers(3, result).size(), 2u) << contents;
    EXPECT_EQ(result, 106) << contents;
    Close(file_);
  }
}

TEST_F(TextReadTest, RunLongerThan255BytesIsCutAndItsRestReadNext) {
  Open(std::string(254, '0') + "12" + " 9");
  uint16_t result = 0;
  // The first run is 254 zeros and "1"; the next starts with "2".
  EXPECT_EQ(ReadNumbers(3, result), (std::vector<int32_t>{1, 2, 9}));
  EXPECT_EQ(result, 0);
}

TEST_F(TextReadTest, NumbersAcrossTheBufferBoundary) {
  Open(std::string(250, ' ') + "123456789 7");
  uint16_t result = 0;
  EXPECT_EQ(ReadNumbers(2, result), (std::vector<int32_t>{123456789, 7}));
}

TEST_F(TextReadTest, LineSkipTakesLfCrLfAndLoneCr) {
  Open("1 9\n2 9\r\n3 9\r4 9\r\n5");
  std::vector<int32_t> firsts;
  for (int i = 0; i < 5; ++i) {
    firsts.push_back(ReadInteger(file_));
    ReadLineSkip(file_);
  }
  // Had the lone CR after "3 9" not ended its line, the skip would have taken "4 9" too.
  EXPECT_EQ(firsts, (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(IOResult(), 0);
}

TEST_F(TextReadTest, LineSkipStopsBeforeCtrlZAndAtTheEnd) {
  Open("1 2\x1a\n3");
  EXPECT_EQ(ReadInteger(file_), 1);
  ReadLineSkip(file_);
  EXPECT_EQ(ReadInteger(file_), 0);
  ReadLineSkip(file_);
  ReadLineSkip(file_);
  EXPECT_EQ(IOResult(), 0);
}

TEST_F(TextReadTest, ShortStringStopsAtTheLineEndAnd255Bytes) {
  Open("abc\r\n" + std::string(300, 'z') + "\n");
  ShortString text;
  ReadShortString(file_, text);
  EXPECT_EQ(text.View(), "abc");
  ReadLineSkip(file_);
  ReadShortString(file_, text);
  EXPECT_EQ(text.Length(), 255);
}

TEST_F(TextReadTest, ByteOrderMarkMakesTheFirstNumberInvalid) {
  Open(
      "\xEF\xBB\xBF"
      "1 2");
  EXPECT_EQ(ReadInteger(file_), 0);
  EXPECT_EQ(IOResult(), 106);
}

}  // namespace
