// Write and WriteLn statements on a text stream: each item is written and
// followed by the I/O check, and the statement ends with the flush of the
// stream, so its whole text has left the buffer when the statement returns.
#pragma once

#include <concepts>
#include <string_view>

#include "IoResult.h"
#include "ShortString.h"
#include "TextFile.h"

/// An integer written right-aligned in a field of `width` characters.
struct Field {
  int32_t value;
  int width;
};

/// A text written right-aligned in a field of `width` characters.
struct TextField {
  std::string_view text;
  int width;
};

[[gnu::always_inline]] inline void WriteItem(TextFile& file, std::string_view text) {
  WriteText(file, text);
}
[[gnu::always_inline]] inline void WriteItem(TextFile& file, char c) {
  WriteText(file, std::string_view(&c, 1));
}
[[gnu::always_inline]] inline void WriteItem(TextFile& file, std::integral auto value) {
  WriteInteger(file, static_cast<int32_t>(value));
}
[[gnu::always_inline]] inline void WriteItem(TextFile& file, Field field) {
  WriteInteger(file, field.value, field.width);
}
[[gnu::always_inline]] inline void WriteItem(TextFile& file, TextField field) {
  WriteText(file, field.text, field.width);
}

template <typename... Items>
[[gnu::always_inline]] inline void Write(TextFile& file, const Items&... items) {
  ((WriteItem(file, items), IOCheck()), ...);
  WriteEnd(file);
  IOCheck();
}

template <typename... Items>
[[gnu::always_inline]] inline void WriteLn(TextFile& file, const Items&... items) {
  ((WriteItem(file, items), IOCheck()), ...);
  WriteLineEnd(file);
  IOCheck();
  WriteEnd(file);
  IOCheck();
}
