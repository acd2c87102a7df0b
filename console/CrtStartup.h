// Start-up of the console unit for the process: the device it draws on and
// the exit step that gives the console back. Each platform's backend defines it.
#pragma once

/// Starts the console unit on the process's terminal (standard input and
/// output) and registers the terminal's restore as an exit step.
void CrtInit();
