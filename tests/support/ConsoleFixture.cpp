#include "ConsoleFixture.h"

namespace testing_support {

std::string ConsoleTest::TrimmedRow(int y) const {
  std::string row = Row(y);
  row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

}  // namespace testing_support
