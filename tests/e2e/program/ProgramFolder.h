// A temporary folder for one run of the program: the matrix files the run
// needs go in, and the files the run leaves (standard error, its transcript,
// its exit status) are read back from it. The folder goes when the object does.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

class ProgramFolder {
 public:
  /// Makes a new, empty folder under the system's temporary folder.
  ProgramFolder();
  /// Removes the folder and everything in it.
  ~ProgramFolder();
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  /// Copies `fileName` from the project's sample matrices into the folder.
  void CopySample(const std::string& fileName) const;
  /// Writes `content` byte for byte into the file `fileName` of the folder.
  void Write(const std::string& fileName, std::string_view content) const;
  /// The bytes of the file `fileName` of the folder; empty when it does not exist.
  std::string Read(const std::string& fileName) const;
  /// Whether the folder holds a file `fileName`.
  bool Holds(const std::string& fileName) const;

 private:
  std::filesystem::path path_;
};

/// The bytes of the file at `path`; empty when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

/// Line `number` (1-based) of the project's source file `relativePath`; empty when there is none.
std::string SourceLine(const std::string& relativePath, int number);
