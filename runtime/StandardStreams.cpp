#include "StandardStreams.h"

#include "CallerWalk.h"
#include "Faults.h"
#include "FileDriver.h"
#include "IoResult.h"

TextFile Input;
TextFile Output;
TextFile ErrOutput;
TextFile StdOut;
TextFile StdErr;

void OpenStandardStreams() {
  OpenStandardHandle(Input, 0, FileMode::Input, false);
  OpenStandardHandle(Output, 1, FileMode::Output, true);
  OpenStandardHandle(ErrOutput, 2, FileMode::Output, true);
  OpenStandardHandle(StdOut, 1, FileMode::Output, true);
  OpenStandardHandle(StdErr, 2, FileMode::Output, true);
}

void SysInit() {
  NoteMainFrame();
  InstallFaultHandlers();
  OpenStandardStreams();
  InOutRes = 0;
}
