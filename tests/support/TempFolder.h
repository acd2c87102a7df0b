// A temporary folder for the files a test or a program run under test writes
// and reads; it goes, with everything in it, when the object does.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace testing_support {

class TempFolder {
 public:
  /// Makes a new, empty folder under the system's temporary folder.
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  /// Writes `contents` byte for byte into the file `name` (UTF-8) of the folder; its full path.
  std::string Write(std::string_view name, std::string_view contents) const;
  /// Copies the project's sample matrix `name` into the folder.
  void CopySample(std::string_view name) const;
  /// The bytes of the file `name` of the folder; empty when it does not exist.
  std::string Read(std::string_view name) const;
  /// Whether the folder holds a file `name`.
  bool Holds(std::string_view name) const;
  /// Waits until another process has put the file `name` into the folder
  /// (written whole, then renamed into place) and gives its bytes; nothing on timeout.
  std::optional<std::string> WaitForFile(
      std::string_view name, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

 private:
  std::string path_;
};

/// The bytes of the file at `path`; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

/// The bytes of the project's sample matrix `name`.
std::string SampleFile(std::string_view name);

}  // namespace testing_support
