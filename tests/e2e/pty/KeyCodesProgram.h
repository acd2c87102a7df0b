// The key_codes program on a pseudo-terminal of its own. The test plays the
// terminal's other side: it types bytes, reads and keeps all the program
// writes, and reads back the codes the program has written to a file.
#pragma once

#include <string>
#include <vector>

#include "support/ChildProcess.h"

class KeyCodesProgram : public testing_support::ChildProcess {
 public:
  /// Starts key_codes with its codes file and then `arguments`.
  explicit KeyCodesProgram(const std::vector<std::string>& arguments);
  ~KeyCodesProgram() override;

  /// How long the program took from its start to being ready for keys.
  Clock::duration StartUp() const { return ready_ - StartTime(); }

  /// Reads the output until the program is ready for keys; false when it did
  /// not start or does not get ready.
  bool WaitReady();
  /// Sends `bytes` as the terminal would for one key, then reads the output for `pause`.
  void Type(std::string_view bytes,
            std::chrono::milliseconds pause = std::chrono::milliseconds(60));
  /// The codes the program has written so far.
  std::vector<int> Codes() const;

 private:
  std::string codesPath_;
  Clock::time_point ready_;
};
