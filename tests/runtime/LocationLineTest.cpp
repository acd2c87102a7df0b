#include <gtest/gtest.h>

#include <string>

#include "runtime/LocationLine.h"

namespace {

TEST(LocationLineTest, EveryShape) {
  const struct {
    CodeLocation location;
    const char* line;
  } kCases[] = {
      {{0x1A2B, "", "", 0}, "  $00001A2B"},
      {{0x1A2B, "", "", 12}, "  $00001A2B"},
      {{0xDEADBEEF, "BEOLVAS", "", 0}, "  $DEADBEEF  BEOLVAS"},
      {{0xDEADBEEF, "BEOLVAS", "", 7}, "  $DEADBEEF  BEOLVAS"},
      {{0x10, "", "src/main.cpp", 42}, "  $00000010 line 42 of src/main.cpp"},
      {{0x10, "", "src/main.cpp", 0}, "  $00000010 of src/main.cpp"},
      {{0x4000, "main", "src/main.cpp", 0}, "  $00004000  main,  of src/main.cpp"},
      {{0x4000, "main", "src/main.cpp", 118}, "  $00004000  main,  line 118 of src/main.cpp"},
      {{0xFFFFFFFF, "KIIR", "src/Kiir.cpp", 4294967295u},
       "  $FFFFFFFF  KIIR,  line 4294967295 of src/Kiir.cpp"},
  };
  for (const auto& row : kCases) EXPECT_EQ(LocationLine(row.location).View(), row.line);
}

TEST(LocationLineTest, CutAt255Characters) {
  const std::string file(300, 'f');
  const ShortString line = LocationLine({0x1234, "UJLAP", file, 9});
  const std::string head = "  $00001234  UJLAP,  line 9 of ";
  EXPECT_EQ(line.Length(), 255);
  EXPECT_EQ(line.View(), head + file.substr(0, 255 - head.size()));
}

TEST(LocationLineTest, ErrorLineHasDecimalCodeAndEightHexDigits) {
  EXPECT_EQ(ErrorLine(201, 0x2A).View(), "Runtime error 201 at $0000002A");
  EXPECT_EQ(ErrorLine(0, 0).View(), "Runtime error 0 at $00000000");
  EXPECT_EQ(ErrorLine(65535, 0xABCDEF01).View(), "Runtime error 65535 at $ABCDEF01");
}

}  // namespace
