#include <gtest/gtest.h>

#include "runtime/OsErrors.h"

namespace {

TEST(OsErrorsTest, SystemErrorsUpTo18AreKept) {
  for (uint32_t error = 1; error <= 18; ++error) EXPECT_EQ(TranslateOsError(error), error);
}

TEST(OsErrorsTest, SystemErrors19To31Move131Up) {
  for (uint32_t error = 19; error <= 31; ++error) EXPECT_EQ(TranslateOsError(error), error + 131);
}

TEST(OsErrorsTest, NamedSystemErrors) {
  const struct {
    uint32_t windowsError;
    uint16_t code;
  } kCases[] = {
      {32, 5},    {112, 101},   {145, 5}, {183, 5},   {206, 3},
      {123, 123}, {1921, 1921}, {33, 33}, {111, 111},
  };
  for (const auto& row : kCases)
    EXPECT_EQ(TranslateOsError(row.windowsError), row.code) << row.windowsError;
}

}  // namespace
