// Text streams: a 256-byte buffer and a driver of four routines (open, transfer,
// flush, close). Plain files and the console share this one mechanism; a driver
// reports failure by storing a code into InOutRes.
//
// Every operation here first looks at InOutRes and does nothing while it is not
// 0, except Assign and WriteEnd (the flush that ends every Write statement).
#pragma once

#include <cstdint>
#include <string_view>

#include "ShortString.h"

enum class FileMode : uint8_t { Closed, Input, Output };

struct TextFile;
using TextDriver = void (*)(TextFile&);

struct TextFile {
  static constexpr int kBufferSize = 256;

  int handle = -1;
  FileMode mode = FileMode::Closed;
  bool bound = false;      // Assign (or a driver binding) has given it a name or a driver
  uint16_t bufferPos = 0;  // output: bytes held; input: position of the next byte
  uint16_t bufferEnd = 0;  // input: bytes held
  TextDriver open = nullptr;
  TextDriver transfer = nullptr;  // output: write the buffer out; input: refill it
  TextDriver flush = nullptr;
  TextDriver close = nullptr;
  ShortString name;
  char buffer[kBufferSize] = {};
};

/// Binds `file` to the file named `name` (Windows-1250) with the plain file driver.
void Assign(TextFile& file, const ShortString& name);
/// Opens a bound file for reading at its first byte; 102 when it was never bound.
void Reset(TextFile& file);
/// Opens a bound file for writing.
void Rewrite(TextFile& file);
/// Flushes an output file and closes it; 103 when it is not open.
void Close(TextFile& file);
/// Hands the buffered output to the driver's flush; 103/105 when not open for output.
void Flush(TextFile& file);

/// Writes `text` right-aligned in `width` characters, never cut.
void WriteText(TextFile& file, std::string_view text, int width = 0);
/// Writes `value` in decimal, right-aligned in `width` characters, never cut.
void WriteInteger(TextFile& file, int32_t value, int width = 0);
/// Appends the line end CR LF.
void WriteLineEnd(TextFile& file);
/// Ends a Write statement: hands the buffer to the driver's flush whatever InOutRes holds.
void WriteEnd(TextFile& file);

/// Reads one number by the matrix file's rules; 0 at the end of the data, 106 when invalid.
int32_t ReadInteger(TextFile& file);
/// Consumes bytes up to and including the next line end (LF, CR LF or a lone CR);
/// stops early at the end of the data and before a Ctrl+Z byte.
void ReadLineSkip(TextFile& file);
/// Reads the bytes up to the next CR or LF (at most 255) into `text`.
void ReadShortString(TextFile& file, ShortString& text);
