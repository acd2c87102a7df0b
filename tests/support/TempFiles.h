// A temporary folder for the files a test reads, removed with the object.
#pragma once

#include <string>
#include <string_view>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  /// Writes `contents` into the file `name` of the folder and returns its full path.
  std::string Write(std::string_view name, std::string_view contents) const;

 private:
  std::string path_;
};

}  // namespace testing_support
