#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "runtime/FileDriver.h"
#include "runtime/IoResult.h"
#include "runtime/TextFile.h"
#include "support/TempFolder.h"

namespace {

using testing_support::TempFolder;

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class IoResultTest : public ::testing::Test {
 protected:
  void TearDown() override {
    InOutRes = 0;
    for (TextFile* file : {&output_, &input_})
      if (file->mode != FileMode::Closed) Close(*file);
    InOutRes = 0;
  }
  void OpenOutput() {
    outputPath_ = dir_.Write("out.txt", "");
    Assign(output_, ShortString(outputPath_));
    Rewrite(output_);
    ASSERT_EQ(IOResult(), 0);
  }
  void OpenInput(std::string_view contents) {
    Assign(input_, ShortString(dir_.Write("in.txt", contents)));
    Reset(input_);
    ASSERT_EQ(IOResult(), 0);
  }

  TempFolder dir_;
  std::string outputPath_;
  TextFile output_;
  TextFile input_;
};

TEST_F(IoResultTest, ReturnsThePendingCodeThenZero) {
  InOutRes = 105;
  EXPECT_EQ(IOResult(), 105);
  EXPECT_EQ(IOResult(), 0);
  EXPECT_EQ(InOutRes, 0);
}

TEST_F(IoResultTest, PendingResultStopsWritesReadsClosesAndOpens) {
  OpenOutput();
  OpenInput("42 7");
  WriteText(output_, "kept");
  InOutRes = 77;

  WriteText(output_, "dropped");
  WriteInteger(output_, 123);
  WriteLineEnd(output_);
  EXPECT_EQ(output_.bufferPos, 4);
  EXPECT_EQ(ReadInteger(input_), 0);
  Close(output_);
  EXPECT_EQ(output_.mode, FileMode::Output);
  TextFile other;
  Assign(other, ShortString(dir_.Write("other.txt", "1")));
  Reset(other);
  EXPECT_EQ(other.mode, FileMode::Closed);
  Rewrite(other);
  EXPECT_EQ(other.mode, FileMode::Closed);
  EXPECT_EQ(InOutRes, 77);

  InOutRes = 0;
  EXPECT_EQ(ReadInteger(input_), 42) << "a refused read consumed input";
}

TEST_F(IoResultTest, AssignAndWriteEndWorkWhileAResultIsPending) {
  outputPath_ = dir_.Write("out.txt", "");
  InOutRes = 77;
  TextFile bound;
  Assign(bound, ShortString("name.dat"));
  EXPECT_TRUE(bound.bound);
  EXPECT_EQ(bound.name.View(), "name.dat");

  InOutRes = 0;
  TextFile standard;
  OpenStandardHandle(standard, open(outputPath_.c_str(), O_WRONLY), FileMode::Output, true);
  WriteText(standard, "kept");
  InOutRes = 77;
  WriteEnd(standard);
  EXPECT_EQ(Contents(outputPath_), "kept");
  EXPECT_EQ(InOutRes, 77);
  InOutRes = 0;
  Close(standard);
}

struct MisuseCase {
  const char* what;
  FileMode openAs;  // Closed: never opened
  void (*operation)(TextFile&);
  uint16_t code;
};

const MisuseCase kMisuses[] = {
    {"close a closed file", FileMode::Closed, [](TextFile& f) { Close(f); }, 103},
    {"flush a closed file", FileMode::Closed, [](TextFile& f) { Flush(f); }, 103},
    {"write a closed file", FileMode::Closed, [](TextFile& f) { WriteText(f, "x"); }, 103},
    {"read a closed file", FileMode::Closed, [](TextFile& f) { ReadInteger(f); }, 103},
    {"skip a line of a closed file", FileMode::Closed, [](TextFile& f) { ReadLineSkip(f); }, 103},
    {"read an output file", FileMode::Output, [](TextFile& f) { ReadInteger(f); }, 104},
    {"skip a line of an output file", FileMode::Output, [](TextFile& f) { ReadLineSkip(f); }, 104},
    {"write an input file", FileMode::Input, [](TextFile& f) { WriteText(f, "x"); }, 105},
    {"write a number to an input file", FileMode::Input, [](TextFile& f) { WriteInteger(f, 1); },
     105},
    {"flush an input file", FileMode::Input, [](TextFile& f) { Flush(f); }, 105},
};

TEST_F(IoResultTest, MisusedStreamsStoreTheirCodes) {
  for (const MisuseCase& misuse : kMisuses) {
    TextFile file;
    Assign(file, ShortString(dir_.Write("misuse.txt", "5")));
    if (misuse.openAs == FileMode::Input) Reset(file);
    if (misuse.openAs == FileMode::Output) Rewrite(file);
    ASSERT_EQ(IOResult(), 0) << misuse.what;
    misuse.operation(file);
    EXPECT_EQ(IOResult(), misuse.code) << misuse.what;
    if (file.mode != FileMode::Closed) Close(file);
    InOutRes = 0;
  }
}

TEST_F(IoResultTest, OpeningANeverBoundFileGives102) {
  TextFile never;
  Reset(never);
  EXPECT_EQ(IOResult(), 102);
  Rewrite(never);
  EXPECT_EQ(IOResult(), 102);
  EXPECT_EQ(never.mode, FileMode::Closed);
}

TEST_F(IoResultTest, MalformedNumberGives106) {
  OpenInput("12a 4294967296");
  EXPECT_EQ(ReadInteger(input_), 0);
  EXPECT_EQ(IOResult(), 106);
  EXPECT_EQ(ReadInteger(input_), 0);
  EXPECT_EQ(IOResult(), 106) << "a number beyond 32 bits";
}

}  // namespace
