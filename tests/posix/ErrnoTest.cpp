#include <gtest/gtest.h>

#include <cerrno>

#include "runtime/posix/Errno.h"

namespace {

TEST(ErrnoTest, ErrnoValuesInWindowsNumbering) {
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

TEST(ErrnoTest, ErrnoToIoResultThroughBothTables) {
  EXPECT_EQ(IoResultFromErrno(ENAMETOOLONG), 3);
  EXPECT_EQ(IoResultFromErrno(ENOSPC), 101);
  EXPECT_EQ(IoResultFromErrno(EROFS), 150);
}

}  // namespace
