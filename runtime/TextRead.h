// Read and ReadLn statements on a text stream, each read followed by the I/O
// check at the place of use.
#pragma once

#include "IoResult.h"
#include "TextFile.h"

/// Reads one number (32 bits, before any range check of its target).
[[gnu::always_inline]] inline int32_t Read(TextFile& file) {
  const int32_t value = ReadInteger(file);
  IOCheck();
  return value;
}

/// Skips to the start of the next line.
[[gnu::always_inline]] inline void ReadLn(TextFile& file) {
  ReadLineSkip(file);
  IOCheck();
}

/// Reads the rest of the line into `text` and skips past its line end.
[[gnu::always_inline]] inline void ReadLn(TextFile& file, ShortString& text) {
  ReadShortString(file, text);
  IOCheck();
  ReadLineSkip(file);
  IOCheck();
}
