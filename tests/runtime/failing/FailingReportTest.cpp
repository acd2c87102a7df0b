// Runs the failing program as a child process and checks its fatal-error
// report line by line against the program's source, and its exit status.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/ReportCheck.h"

namespace {

using namespace testing_support;

constexpr const char* kProgram = FAILING_PROGRAM;
constexpr const char* kSourceName = FAILING_SOURCE_NAME;  // as the report names it

ChildRun RunProgram(const std::string& program, const char* word) {
  return RunChild({program, word}, ChildStreams::kErrors);
}

// The location of the source line that carries the marker "@name".
ExpectedLocation At(const char* routine, const char* marker) {
  return {routine, kSourceName, std::string("// @") + marker};
}

struct Failure {
  const char* word;
  int code;
  const char* routine;
  const char* marker;
  const char* callMarker;
  /// Why the run may end normally instead, where the operation faults on some
  /// processors only; null where it fails on every one.
  const char* mayNotFault = nullptr;
};

// Whether `run` of `failure` ended normally, as it may where the failing
// operation does not fault on this processor.
bool EndedWithoutFault(const Failure& failure, const ChildRun& run) {
  return failure.mayNotFault != nullptr && run.status == 0 && run.output.empty();
}

const Failure kFailures[] = {
    {"io", 102, "FAILIO", "io-check", "call-io"},
    {"range", 201, "FAILRANGE", "range-check", "call-range"},
    {"runerror", 300, "FAILRUN", "run-error", "call-runerror"},
    {"several0", 201, "SEVERAL", "several-0", "call-several"},
    {"several1", 201, "SEVERAL", "several-1", "call-several"},
    {"several2", 201, "SEVERAL", "several-2", "call-several"},
    {"several3", 201, "SEVERAL", "several-3", "call-several"},
    {"divide", 200, "DIVIDE", "divide", "call-divide",
     "an integer division by zero does not fault on every processor (not on AArch64 nor POWER)"},
    {"poke", 216, "POKE", "poke", "call-poke"},
};

class FailingReport : public testing::TestWithParam<Failure> {};

// A failure in a routine called from main: the error line, the location in the
// routine, the call in main, the start-up code's address alone, the empty line.
TEST_P(FailingReport, NamesRoutineLineAndCallers) {
  const Failure& failure = GetParam();
  const ChildRun run = RunProgram(kProgram, failure.word);
  if (EndedWithoutFault(failure, run)) GTEST_SKIP() << failure.mayNotFault;
  ExpectReport(run.output, failure.code,
               {At(failure.routine, failure.marker), At("main", failure.callMarker)});
  EXPECT_EQ(run.status, ExitStatusFor(failure.code));
}

// Addresses are offsets into the program's image: the same in every run,
// whatever the load address.
TEST_P(FailingReport, RepeatsExactly) {
  const ChildRun first = RunProgram(kProgram, GetParam().word);
  if (EndedWithoutFault(GetParam(), first)) GTEST_SKIP() << GetParam().mayNotFault;
  EXPECT_EQ(RunProgram(kProgram, GetParam().word).output, first.output);
}

INSTANTIATE_TEST_SUITE_P(Failures, FailingReport, testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.word); });

// A longer argument starts the stack lower, so the stack's end falls anywhere
// in a frame, and the frames nearest the fault may lie below its mapped pages.
TEST(FailingReport, StackOverflowWalksNineCallers) {
  // The failing point on any line of RECURSE, then nine calls; the walk ends there.
  std::vector<ExpectedLocation> locations(10, At("RECURSE", "recurse"));
  locations[0].lineHolds = "";
  for (size_t longer = 0; longer <= 512; longer += 16) {
    SCOPED_TRACE("an argument of " + std::to_string(longer) + " bytes");
    const ChildRun run =
        RunChild({kProgram, "recurse", std::string(longer, 'x')}, ChildStreams::kErrors);
    ExpectReport(run.output, 202, locations, false);
    EXPECT_EQ(run.status, ExitStatusFor(202));
  }
}

TEST(FailingReport, MemoryThatCannotBeObtainedGives203) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator ends the process itself";
#endif
  // Located at the call that asked for the memory, not in the allocator.
  const ChildRun run = RunProgram(kProgram, "allocate");
  ExpectReport(run.output, 203, {At("ALLOCATE", "allocate"), At("main", "call-allocate")});
  EXPECT_EQ(run.status, ExitStatusFor(203));
}

TEST(FailingReport, NormalEndWritesNothing) {
  const ChildRun run = RunProgram(kProgram, "");
  EXPECT_EQ(run.output, "");
  EXPECT_EQ(run.status, 0);
}

// Without debug information every location line holds the address alone, and
// the addresses are those of the program with debug information.
TEST(FailingReport, WithoutDebugInformationAddressesOnly) {
  for (const Failure& failure : kFailures) {
    SCOPED_TRACE(failure.word);
    const ChildRun run = RunProgram(FAILING_PROGRAM_WITHOUT_DEBUG, failure.word);
    if (EndedWithoutFault(failure, run)) continue;
    const std::optional<Report> report = ParseReport(run.output);
    const std::optional<Report> full = ParseReport(RunProgram(kProgram, failure.word).output);
    ASSERT_TRUE(report.has_value() && full.has_value());
    ASSERT_EQ(report->locations.size(), 3u) << run.output;
    ASSERT_EQ(full->locations.size(), 3u);
    EXPECT_EQ(report->code, full->code);
    EXPECT_EQ(report->address, full->address);
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(report->locations[i].routine, "") << "a routine named without debug information";
      EXPECT_EQ(report->locations[i].address, full->locations[i].address);
    }
    EXPECT_EQ(run.status, ExitStatusFor(failure.code));
  }
}

// Ctrl+C typed at a terminal ends the program with the control-C exit. The
// report is located where the program waits for the key: the interrupted
// system call and the C library's routines around it are shown without a
// routine (a static C library has no line information), then the program's
// routines up to main, then main's caller as the address alone.
TEST(FailingReport, ControlCAtTerminalEndsWith217) {
  ChildProcess program({kProgram, "wait"}, ChildStreams::kTerminal);
  ASSERT_TRUE(program.ReadUntil([&] {
    return program.Output().find("ready") != std::string::npos;
  })) << program.Output();
  ASSERT_TRUE(program.Interrupt());
  EXPECT_EQ(program.WaitExit(), 217);
  std::string output = program.Output();
  output.erase(0, output.find("Runtime error"));
  // A terminal writes each line feed as CR LF: the report's CR LF comes as CR CR LF.
  for (size_t at; (at = output.find("\r\r\n")) != std::string::npos;) output.erase(at, 1);
  const std::optional<Report> report = ParseReport(output);
  ASSERT_TRUE(report.has_value()) << program.Output();
  EXPECT_EQ(report->code, 217);
  std::string routines;
  for (const ReportLocation& location : report->locations)
    routines += (location.routine.empty() ? "?" : location.routine) + " ";
  EXPECT_TRUE(std::regex_match(routines, std::regex(R"((\? )*([^? ]+ )*WAITKEY main \? )")))
      << output;
}

}  // namespace
