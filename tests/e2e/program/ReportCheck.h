// Checks a fatal-error report as the program writes it to standard error: the
// "Runtime error" line, one location line per routine from the failing one
// outwards, the start-up code's bare address, an empty last line, and CR LF
// after every line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

/// A routine the report must name, in the order of the report.
struct ExpectedLocation {
  std::string routine;
  std::string file;
  /// Text the named line of the source file must hold, so that the line
  /// number is known to point at the operation that failed or at the call;
  /// empty when any line will do.
  std::string lineHolds;
};

/// Adds a test failure for every way in which `report` differs from the
/// report of run-time error `code` raised in `locations.front()` and called
/// through the rest of `locations`.
void ExpectReport(std::string_view report, int code,
                  const std::vector<ExpectedLocation>& locations);
