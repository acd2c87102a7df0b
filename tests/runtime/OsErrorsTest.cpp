#include <gtest/gtest.h>

#include <cerrno>

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

TEST(OsErrorsTest, ErrnoValuesInWindowsNumbering) {
  const struct {
    int posixError;
    bool missingDirectory;
    uint32_t windowsError;
  } kCases[] = {
      {ENOENT, false, 2}, {ENOENT, true, 3},  {ENOTDIR, false, 3},        {EACCES, false, 5},
      {EMFILE, false, 4}, {EBADF, false, 6},  {ENAMETOOLONG, false, 206}, {ENOSPC, false, 112},
      {EROFS, false, 19}, {EISDIR, false, 5},
  };
  for (const auto& row : kCases)
    EXPECT_EQ(WindowsErrorFromErrno(row.posixError, row.missingDirectory), row.windowsError)
        << "errno " << row.posixError << (row.missingDirectory ? " (missing directory)" : "");
}

TEST(OsErrorsTest, ErrnoToIoResultThroughBothTables) {
  EXPECT_EQ(IoResultFromErrno(ENAMETOOLONG), 3);
  EXPECT_EQ(IoResultFromErrno(ENOSPC), 101);
  EXPECT_EQ(IoResultFromErrno(EROFS), 150);
}

}  // namespace
