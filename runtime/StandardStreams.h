// The standard text streams and the run-time library's start-up.
#pragma once

#include "TextFile.h"

/// Standard input and output; the console unit takes both over.
extern TextFile Input;
extern TextFile Output;
/// Plain streams on the standard handles, flushed at the end of every write.
extern TextFile ErrOutput;
extern TextFile StdOut;
extern TextFile StdErr;

/// Opens the five standard streams on the standard handles.
void OpenStandardStreams();

/// Starts the run-time library: notes its caller's frame for the caller walk, installs
/// the processor-fault handler, opens the standard streams on the standard
/// handles and clears InOutRes. Called first, by the main routine.
[[gnu::noinline]] void SysInit();
