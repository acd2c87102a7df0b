// Processor faults, interrupt signals and exhausted memory as fatal errors.
#pragma once

/// Turns processor faults into fatal errors located at the faulting instruction
/// (a stack overflow is handled on a stack of its own), the interrupt and
/// termination signals into the control-C exit 217, and a failed allocation
/// into 203. Called first at start-up.
void InstallFaultHandlers();
