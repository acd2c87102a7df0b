#include "Report.h"

#include "CallerWalk.h"
#include "DebugInfo.h"
#include "FatalError.h"
#include "IoResult.h"
#include "LocationLine.h"
#include "ProgramImage.h"

namespace {

void WriteReportLine(TextFile& out, std::string_view line) {
  WriteText(out, line);
  WriteLineEnd(out);
  WriteEnd(out);
}

// The address as an offset into the module that holds it.
uint32_t Offset(const void* address) {
  return static_cast<uint32_t>(CodeAddress(address) - ModuleBase(address));
}

// A return point is looked up one byte back, inside the call instruction, so
// that it names the line of the call even when the call is a block's last
// instruction; a faulting instruction is looked up where it is.
CodeLocation Locate(const void* address, bool returnPoint) {
  CodeLocation location;
  const uintptr_t at = CodeAddress(address);
  location.address = Offset(address);
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
  bool endsInStartup = false;
  const int count = ErrorCallers(returnPoints, endsInStartup);
  for (int i = 0; i < count; ++i) {
    CodeLocation caller;
    if (endsInStartup && i == count - 1)
      caller.address = Offset(returnPoints[i]);
    else
      caller = Locate(returnPoints[i], true);
    WriteReportLine(out, LocationLine(caller));
  }
  WriteReportLine(out, "");
}
