#include "ReportCheck.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

namespace testing_support {

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

// Line `number` (1-based) of the project's source file `relativePath`; empty when there is none.
std::string SourceLine(const std::string& relativePath, int number) {
  std::ifstream file(SOURCE_DIR "/" + relativePath);
  std::string line;
  for (int i = 1; std::getline(file, line); ++i)
    if (i == number) return line;
  return {};
}

}  // namespace

std::optional<Report> ParseReport(std::string_view text) {
  const std::vector<std::string> lines = SplitCrLfLines(text);
  static const std::regex errorLine(R"(Runtime error (\d+) at \$([0-9A-F]{8}))");
  static const std::regex locationLine(R"(  \$([0-9A-F]{8})(?:  (\S+),  line (\d+) of (\S+))?)");
  std::smatch match;
  if (lines.empty() || !std::regex_match(lines[0], match, errorLine)) {
    ADD_FAILURE() << "no error line in:\n" << text;
    return std::nullopt;
  }
  Report report{std::stoi(match[1].str()), match[2].str(), {}};
  for (size_t i = 1; i + 1 < lines.size(); ++i) {
    if (!std::regex_match(lines[i], match, locationLine)) {
      ADD_FAILURE() << "not a location line: " << lines[i];
      continue;
    }
    report.locations.push_back({match[1].str(), match[2].str(),
                                match[3].matched ? std::stoi(match[3].str()) : 0, match[4].str()});
  }
  EXPECT_EQ(lines.back(), "") << "the last line";
  return report;
}

void ExpectReport(std::string_view report, int code, const std::vector<ExpectedLocation>& locations,
                  bool reachesStartUp) {
  SCOPED_TRACE("report:\n" + std::string(report));
  const std::optional<Report> parsed = ParseReport(report);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->code, code);
  // A line per routine, then the start-up code's.
  ASSERT_EQ(parsed->locations.size(), locations.size() + (reachesStartUp ? 1 : 0));
  for (size_t i = 0; i < locations.size(); ++i) {
    const ExpectedLocation& expected = locations[i];
    const ReportLocation& location = parsed->locations[i];
    if (i == 0) {
      EXPECT_EQ(location.address, parsed->address) << "the failing point's address";
    }
    EXPECT_EQ(location.routine, expected.routine);
    EXPECT_EQ(location.file, expected.file);
    const std::string source = SourceLine(expected.file, location.line);
    EXPECT_NE(source.find(expected.lineHolds), std::string::npos)
        << expected.routine << " at line " << location.line << ": " << source;
  }
  if (reachesStartUp) {
    EXPECT_EQ(parsed->locations.back().routine, "") << "the start-up code named";
  }
}

}  // namespace testing_support
