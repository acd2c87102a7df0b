#include "TerminalModel.h"

#include <algorithm>
#include <charconv>

namespace {

// The numbers of `parameters` ("12;3"); empty ones are 0.
std::vector<int> Numbers(std::string_view parameters) {
  std::vector<int> numbers;
  size_t start = 0;
  while (start <= parameters.size()) {
    const size_t end = std::min(parameters.find(';', start), parameters.size());
    int value = 0;
    std::from_chars(parameters.data() + start, parameters.data() + end, value);
    numbers.push_back(value);
    start = end + 1;
  }
  return numbers;
}

}  // namespace

TerminalModel::TerminalModel(int width, int height, bool erasesInCurrentColour,
                             bool lineFeedReturns)
    : width_(width),
      height_(height),
      erasesInCurrentColour_(erasesInCurrentColour),
      lineFeedReturns_(lineFeedReturns),
      cells_(static_cast<size_t>(width * height)),
      bottom_(height) {}

TerminalModel::ModelCell TerminalModel::Cleared() const {
  return erasesInCurrentColour_ ? ModelCell{U' ', foreground_, background_}
                                : ModelCell{U' ', kOwnColour, kOwnColour};
}

void TerminalModel::Put(char32_t glyph) {
  if (pendingWrap_) {
    cursor_.x = 1;
    LineFeed();
  }
  cells_[Index(cursor_)] = ModelCell{glyph, foreground_, background_};
  lastGlyph_ = glyph;
  if (cursor_.x < width_)
    ++cursor_.x;
  else
    pendingWrap_ = true;
}

void TerminalModel::ScrollRegionUp() {
  for (int y = top_; y < bottom_; ++y)
    for (int x = 1; x <= width_; ++x) cells_[Index({x, y})] = cells_[Index({x, y + 1})];
  for (int x = 1; x <= width_; ++x) cells_[Index({x, bottom_})] = Cleared();
}

void TerminalModel::LineFeed() {
  pendingWrap_ = false;
  if (lineFeedReturns_) cursor_.x = 1;
  if (cursor_.y == bottom_)
    ScrollRegionUp();
  else if (cursor_.y < height_)
    ++cursor_.y;
}

void TerminalModel::Control(std::string_view parameters, char final) {
  const std::vector<int> numbers = Numbers(parameters);
  const int count = std::max(numbers[0], 1);
  const auto clear = [this](Point from, Point to) {
    for (size_t i = Index(from); i <= Index(to); ++i) cells_[i] = Cleared();
  };
  if (final == 'b') {
    for (int i = 0; i < count; ++i) Put(lastGlyph_);
    return;
  }
  pendingWrap_ = pendingWrap_ && final == 'm';
  switch (final) {
    case 'H':
      cursor_ = {std::clamp(numbers.size() > 1 ? std::max(numbers[1], 1) : 1, 1, width_),
                 std::clamp(std::max(numbers[0], 1), 1, height_)};
      break;
    case 'A':
      cursor_.y = std::max(cursor_.y - count, 1);
      break;
    case 'B':
      cursor_.y = std::min(cursor_.y + count, height_);
      break;
    case 'C':
      cursor_.x = std::min(cursor_.x + count, width_);
      break;
    case 'D':
      cursor_.x = std::max(cursor_.x - count, 1);
      break;
    case 'J':
      clear(cursor_, {width_, height_});
      break;
    case 'K':
      clear(cursor_, {width_, cursor_.y});
      break;
    case 'S':
      for (int i = 0; i < count; ++i) ScrollRegionUp();
      break;
    case 'r':
      top_ = std::max(numbers[0], 1);
      bottom_ = numbers.size() > 1 && numbers[1] > 0 ? numbers[1] : height_;
      cursor_ = {1, 1};
      break;
    case 'm':
      for (int value : numbers) {
        if (value == 0) foreground_ = background_ = 0;
        if ((value >= 30 && value <= 37) || (value >= 90 && value <= 97)) foreground_ = value;
        if (value >= 40 && value <= 47) background_ = value;
      }
      break;
    default:
      errors_ += "unknown CSI " + std::string(parameters) + final + "\n";
  }
}

void TerminalModel::Feed(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == '\x1b' && i + 1 < bytes.size() && bytes[i + 1] == '[') {
      size_t end = i + 2;
      while (end < bytes.size() && (bytes[end] < 0x40 || bytes[end] > 0x7E)) ++end;
      if (end == bytes.size()) {
        errors_ += "unfinished CSI\n";
        return;
      }
      Control(bytes.substr(i + 2, end - i - 2), bytes[end]);
      i = end + 1;
    } else if (byte == '\r') {
      cursor_.x = 1;
      pendingWrap_ = false;
      ++i;
    } else if (byte == '\n') {
      LineFeed();
      ++i;
    } else if (byte == '\b') {
      cursor_.x = std::max(cursor_.x - (pendingWrap_ ? 0 : 1), 1);
      pendingWrap_ = false;
      ++i;
    } else if (byte < 0x20 || byte == 0x7F) {
      errors_ += "control byte " + std::to_string(byte) + "\n";
      ++i;
    } else {
      const int extra = byte < 0x80 ? 0 : byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : 1;
      char32_t glyph = extra == 0 ? byte : byte & (0x3F >> extra);
      for (int k = 1; k <= extra && i + k < bytes.size(); ++k)
        glyph = (glyph << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
      Put(glyph);
      i += static_cast<size_t>(extra) + 1;
    }
  }
}
