// Checks a fatal-error report as a program writes it to standard error: the
// "Runtime error" line, one location line per routine from the failing one
// outwards, the start-up code's bare address, an empty last line, and CR LF
// after every line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

/// A location line: its address, and the routine, line and source file when
/// the program's debug information names them (an empty routine otherwise).
struct ReportLocation {
  std::string address;
  std::string routine;
  int line = 0;
  std::string file;
};

struct Report {
  int code = 0;
  std::string address;
  std::vector<ReportLocation> locations;
};

/// The parts of `text`; adds a test failure for every line of another form and
/// every line end but CR LF, and gives nothing without the error line.
std::optional<Report> ParseReport(std::string_view text);

/// A routine the report must name, in the order of the report.
struct ExpectedLocation {
  std::string routine;
  /// The source file, relative to the project's folder.
  std::string file;
  /// Text the named line of the source file must hold, so that the line
  /// number is known to point at the operation that failed or at the call;
  /// empty when any line will do.
  std::string lineHolds;
};

/// Adds a test failure for every way in which `report` differs from the
/// report of run-time error `code` raised in `locations.front()` and called
/// through the rest of `locations`, then from the start-up code unless the
/// walk stops before it (`reachesStartUp` false: a walk cut at its depth).
void ExpectReport(std::string_view report, int code, const std::vector<ExpectedLocation>& locations,
                  bool reachesStartUp = true);

}  // namespace testing_support
