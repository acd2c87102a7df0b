#include "TextFile.h"

#include "ErrorCodes.h"
#include "FileDriver.h"
#include "IoResult.h"
#include "NumberParse.h"

namespace {

constexpr char kCtrlZ = 26;
constexpr int kEndOfData = -1;

// Stores the code for using `file` in a mode it is not open in; true when it is usable.
bool Usable(TextFile& file, FileMode wanted) {
  if (InOutRes != 0) return false;
  if (file.mode == wanted) return true;
  if (file.mode == FileMode::Closed)
    InOutRes = RuntimeError::kFileNotOpen;
  else
    InOutRes = wanted == FileMode::Input ? RuntimeError::kFileNotOpenForInput
                                         : RuntimeError::kFileNotOpenForOutput;
  return false;
}

void Open(TextFile& file, FileMode mode) {
  if (InOutRes != 0) return;
  if (!file.bound) {
    InOutRes = RuntimeError::kFileNotAssigned;
    return;
  }
  if (file.mode != FileMode::Closed) Close(file);
  file.mode = mode;
  file.bufferPos = 0;
  file.bufferEnd = 0;
  file.open(file);
  if (InOutRes != 0) file.mode = FileMode::Closed;
}

void PutByte(TextFile& file, char byte) {
  file.buffer[file.bufferPos++] = byte;
  if (file.bufferPos == TextFile::kBufferSize) file.transfer(file);
}

void PutBlanks(TextFile& file, int count) {
  for (; count > 0 && InOutRes == 0; --count) PutByte(file, ' ');
}

// The next byte without consuming it, refilling the buffer when it is read to
// the end; kEndOfData at the end of the data or after a failed read.
int PeekByte(TextFile& file) {
  if (file.bufferPos >= file.bufferEnd) {
    file.bufferPos = 0;
    file.bufferEnd = 0;
    file.transfer(file);
    if (InOutRes != 0 || file.bufferEnd == 0) return kEndOfData;
  }
  return static_cast<unsigned char>(file.buffer[file.bufferPos]);
}

}  // namespace

void Assign(TextFile& file, const ShortString& name) {
  file = TextFile{};
  file.name = name;
  file.bound = true;
  BindFileDriver(file);
}

void Reset(TextFile& file) {
  Open(file, FileMode::Input);
}

void Rewrite(TextFile& file) {
  Open(file, FileMode::Output);
}

void Close(TextFile& file) {
  if (InOutRes != 0) return;
  if (file.mode == FileMode::Closed) {
    InOutRes = RuntimeError::kFileNotOpen;
    return;
  }
  if (file.mode == FileMode::Output && file.bufferPos > 0) file.transfer(file);
  file.close(file);
  file.mode = FileMode::Closed;
}

void Flush(TextFile& file) {
  if (Usable(file, FileMode::Output)) file.flush(file);
}

void WriteText(TextFile& file, std::string_view text, int width) {
  if (!Usable(file, FileMode::Output)) return;
  PutBlanks(file, width - static_cast<int>(text.size()));
  for (char byte : text) {
    if (InOutRes != 0) return;
    PutByte(file, byte);
  }
}

void WriteInteger(TextFile& file, int32_t value, int width) {
  char digits[12];
  int start = sizeof digits;
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : value;
  do {
    digits[--start] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) digits[--start] = '-';
  WriteText(file, std::string_view(digits + start, sizeof digits - start), width);
}

void WriteLineEnd(TextFile& file) {
  WriteText(file, "\r\n");
}

void WriteEnd(TextFile& file) {
  if (file.mode == FileMode::Output && file.flush != nullptr) file.flush(file);
}

int32_t ReadInteger(TextFile& file) {
  if (!Usable(file, FileMode::Input)) return 0;
  int byte = PeekByte(file);
  while (byte != kEndOfData && byte != kCtrlZ && byte <= ' ') {
    ++file.bufferPos;
    byte = PeekByte(file);
  }
  if (byte == kEndOfData || byte == kCtrlZ) return 0;

  char run[ShortString::kCapacity];
  int length = 0;
  while (byte != kEndOfData && byte > ' ' && length < ShortString::kCapacity) {
    run[length++] = static_cast<char>(byte);
    ++file.bufferPos;
    byte = PeekByte(file);
  }
  if (InOutRes != 0) return 0;
  const auto value = ParseNumber(std::string_view(run, length));
  if (!value) {
    InOutRes = RuntimeError::kInvalidNumericFormat;
    return 0;
  }
  return *value;
}

void ReadLineSkip(TextFile& file) {
  if (!Usable(file, FileMode::Input)) return;
  for (int byte = PeekByte(file); byte != kEndOfData && byte != kCtrlZ; byte = PeekByte(file)) {
    ++file.bufferPos;
    if (byte == '\n') return;
    if (byte == '\r') {
      if (PeekByte(file) == '\n') ++file.bufferPos;
      return;
    }
  }
}

void ReadShortString(TextFile& file, ShortString& text) {
  text.Assign("");
  if (!Usable(file, FileMode::Input)) return;
  for (int byte = PeekByte(file); byte != kEndOfData && byte != '\r' && byte != '\n';
       byte = PeekByte(file)) {
    if (text.Length() == ShortString::kCapacity) return;
    text.Append(static_cast<char>(byte));
    ++file.bufferPos;
  }
}
