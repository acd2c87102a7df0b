// A pipe standing in for a terminal or a file in a test: bytes written at one
// end are read back at the other without waiting. Both ends close with it.
#pragma once

#include <string>
#include <string_view>

namespace testing_support {

class Pipe {
 public:
  Pipe();
  ~Pipe();
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;

  int ReadEnd() const { return ends_[0]; }
  int WriteEnd() const { return ends_[1]; }
  /// Writes all of `bytes`; a test failure when they are not all written.
  void Write(std::string_view bytes) const;
  /// Closes the writing end: the reader sees the end of the input.
  void CloseWriteEnd();
  /// Everything written and not read yet.
  std::string ReadAvailable() const;

 private:
  int ends_[2] = {-1, -1};
};

}  // namespace testing_support
