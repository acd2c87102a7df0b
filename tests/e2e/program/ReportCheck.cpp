#include "ReportCheck.h"

#include <gtest/gtest.h>

#include <regex>

#include "ProgramFolder.h"

namespace {

// The report's lines, each without its CR LF; a failure for any other line end.
std::vector<std::string> SplitCrLfLines(std::string_view report) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < report.size()) {
    const size_t end = report.find("\r\n", start);
    if (end == std::string_view::npos) {
      ADD_FAILURE() << "text after the last CR LF: " << report.substr(start);
      break;
    }
    const std::string line(report.substr(start, end - start));
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "a bare CR or LF in: " << line;
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

}  // namespace

void ExpectReport(std::string_view report, int code,
                  const std::vector<ExpectedLocation>& locations) {
  SCOPED_TRACE("report:\n" + std::string(report));
  const std::vector<std::string> lines = SplitCrLfLines(report);
  // The error line, a line per routine, the start-up address, the empty line.
  ASSERT_EQ(lines.size(), locations.size() + 3);

  static const std::regex errorLine(R"(Runtime error (\d+) at \$([0-9A-F]{8}))");
  std::smatch error;
  ASSERT_TRUE(std::regex_match(lines[0], error, errorLine)) << lines[0];
  EXPECT_EQ(error[1].str(), std::to_string(code));

  static const std::regex locationLine(R"(  \$([0-9A-F]{8})  (\S+),  line (\d+) of (\S+))");
  for (size_t i = 0; i < locations.size(); ++i) {
    const ExpectedLocation& expected = locations[i];
    std::smatch location;
    ASSERT_TRUE(std::regex_match(lines[i + 1], location, locationLine)) << lines[i + 1];
    if (i == 0) {
      EXPECT_EQ(location[1].str(), error[2].str()) << "the failing point's address";
    }
    EXPECT_EQ(location[2].str(), expected.routine);
    EXPECT_EQ(location[4].str(), expected.file);
    const std::string source = SourceLine(expected.file, std::stoi(location[3].str()));
    EXPECT_NE(source.find(expected.lineHolds), std::string::npos)
        << lines[i + 1] << " points at: " << source;
  }

  static const std::regex startUpLine(R"(  \$[0-9A-F]{8})");
  EXPECT_TRUE(std::regex_match(lines[locations.size() + 1], startUpLine))
      << lines[locations.size() + 1];
  EXPECT_EQ(lines.back(), "");
}
