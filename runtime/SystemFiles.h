// The operating system's side of the plain file driver: opening a file by its
// name, reading, writing and closing it, and the standard handles. Failures
// store their I/O result into InOutRes.
#pragma once

#include "TextFile.h"

/// Opens the file named by file.name in file.mode and keeps its handle.
void SystemOpen(TextFile& file);
/// Refills the buffer from the file; an empty buffer at the end of the data.
void SystemRead(TextFile& file);
/// Writes the buffer's contents out and empties it.
void SystemWrite(TextFile& file);
void SystemClose(TextFile& file);
/// The handle that stands for the process's standard handle `number` (0, 1 or 2).
int StandardHandle(int number);
