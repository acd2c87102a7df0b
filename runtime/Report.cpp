#include "Report.h"

#include "DebugInfo.h"
#include "FatalError.h"
#include "IoResult.h"
#include "LocationLine.h"
#include "ProgramImage.h"
#include "StackWalk.h"

namespace {

void WriteReportLine(TextFile& out, std::string_view line) {
  WriteText(out, line);
  WriteLineEnd(out);
  WriteEnd(out);
}

// A return point is looked up one byte back, inside the call instruction, so
// that it names the line of the call even when the call is a block's last
// instruction; a faulting instruction is looked up where it is.
CodeLocation Locate(const void* address, bool returnPoint) {
  CodeLocation location;
  const auto at = reinterpret_cast<uintptr_t>(address);
  location.address = static_cast<uint32_t>(at - ModuleBase(address));
  if (InProgramImage(address)) LookUpCode(returnPoint ? at - 1 : at, location);
  return location;
}

}  // namespace

void WriteReport(TextFile& out) {
  // A result left pending by the failed operation must not swallow the report.
  InOutRes = 0;
  const CodeLocation error = Locate(ErrorAddr, !ErrorAtFault);
  WriteReportLine(out, ErrorLine(ErrorCode, error.address));
  WriteReportLine(out, LocationLine(error));
  const void* returnPoints[kMaxCallerLines];
  const int count = WalkCallers(ErrorFrame, MainStackBounds(), InProgramImage, returnPoints);
  for (int i = 0; i < count; ++i) WriteReportLine(out, LocationLine(Locate(returnPoints[i], true)));
  WriteReportLine(out, "");
}
