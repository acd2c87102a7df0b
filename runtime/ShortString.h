// A text of at most 255 single-byte characters that carries its own length.
// Assignment and concatenation keep the first 255 characters and drop the rest.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

class ShortString {
 public:
  static constexpr int kCapacity = 255;

  constexpr ShortString() = default;
  constexpr ShortString(std::string_view text) { Assign(text); }

  /// Replaces the contents with `text`, cut to 255 characters.
  constexpr void Assign(std::string_view text) {
    length_ = 0;
    Append(text);
  }
  /// Appends `text`; whatever does not fit behind the 255th character is dropped.
  constexpr ShortString& Append(std::string_view text) {
    for (char c : text) {
      if (length_ == kCapacity) break;
      bytes_[length_++] = c;
    }
    return *this;
  }
  constexpr ShortString& Append(char c) { return Append(std::string_view(&c, 1)); }

  constexpr int Length() const { return length_; }
  constexpr bool Empty() const { return length_ == 0; }
  constexpr const char* Data() const { return bytes_; }
  constexpr char operator[](int index) const { return bytes_[index]; }
  constexpr std::string_view View() const { return std::string_view(bytes_, length_); }
  constexpr operator std::string_view() const { return View(); }

  friend constexpr bool operator==(const ShortString& a, const ShortString& b) {
    return a.View() == b.View();
  }

 private:
  uint8_t length_ = 0;
  char bytes_[kCapacity] = {};
};

/// Concatenation into a short string: the result keeps its first 255 characters.
constexpr ShortString operator+(ShortString left, std::string_view right) {
  left.Append(right);
  return left;
}
