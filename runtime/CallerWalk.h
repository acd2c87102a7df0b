// The caller walk of the fatal-error report on this platform: from the routine
// in which the recorded error happened (at ErrorAddr) up to the start-up code
// that called the main routine, by the platform's unwinder.
#pragma once

/// The most caller lines a report holds.
inline constexpr int kMaxCallerLines = 9;

/// Fills `returnPoints` with the return points into the callers of the
/// routine that holds the error, the nearest first, and returns their count.
/// `endsInStartup` tells whether the last one lies in the start-up code that
/// called the main routine, whose location line is the address alone.
int ErrorCallers(const void* (&returnPoints)[kMaxCallerLines], bool& endsInStartup);

/// Notes the main routine's frame, where the walk ends, where the unwinder
/// cannot tell the main routine by itself. Called by SysInit, which the main
/// routine calls first.
void NoteMainFrame();
