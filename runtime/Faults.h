// Processor faults, signals that end the process, and exhausted memory as
// fatal errors.
#pragma once

/// Turns processor faults into fatal errors located at the faulting instruction
/// (a stack overflow is handled on a stack of its own), every signal whose
/// default action ends the process into a fatal error at the interrupted
/// instruction (the interrupt, termination and hang-up signals as the
/// control-C exit 217, the others as 255), and a failed allocation into 203.
/// Called first at start-up.
void InstallFaultHandlers();

/// Holds back every signal that is no processor fault until the process ends,
/// so that nothing interrupts the end of the run. Async-signal-safe.
void HoldInterruptions();
