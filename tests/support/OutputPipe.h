// A pipe standing in for a terminal's output, which is no terminal: what is
// written to its write end is read back exactly.
#pragma once

#include <string>

class OutputPipe {
 public:
  OutputPipe();
  ~OutputPipe();
  OutputPipe(const OutputPipe&) = delete;
  OutputPipe& operator=(const OutputPipe&) = delete;

  int WriteFd() const { return fds_[1]; }
  /// Everything written since the last call.
  std::string Take();

 private:
  int fds_[2] = {-1, -1};
};
