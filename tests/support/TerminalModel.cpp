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

constexpr int kAlternateScreen = 1049;
constexpr int kTabStop = 8;

}  // namespace

TerminalModel::TerminalModel(int width, int height, TerminalCapabilities capabilities,
                             bool scrollFills)
    : width_(width),
      height_(height),
      capabilities_(capabilities),
      scrollFills_(scrollFills),
      cells_(static_cast<size_t>(width * height)),
      bottom_(height) {}

bool TerminalModel::Declared(bool declared, std::string_view what) {
  if (!declared) errors_ += "undeclared " + std::string(what) + "\n";
  return declared;
}

int TerminalModel::ShownForeground() const {
  const bool brightByBold = bold_ && foreground_ >= 30 && foreground_ <= 37;
  return brightByBold && !capabilities_.brightColours ? foreground_ + 60 : foreground_;
}

TerminalModel::ModelCell TerminalModel::Cleared() const {
  return capabilities_.erasesInCurrentColour ? ModelCell{U' ', kOwnColour, background_}
                                             : ModelCell{U' ', kOwnColour, kOwnColour};
}

void TerminalModel::Put(char32_t glyph) {
  if (pendingWrap_) {
    cursor_.x = 1;
    LineFeed();
  }
  cells_[Index(cursor_)] = ModelCell{glyph, ShownForeground(), background_};
  lastGlyph_ = glyph;
  if (cursor_.x < width_) {
    ++cursor_.x;
    return;
  }
  switch (capabilities_.rightMargin) {
    case RightMargin::kStays:
      break;
    case RightMargin::kWrapsAtOnce:
      cursor_.x = 1;
      LineFeed();
      break;
    case RightMargin::kUnknown:
    case RightMargin::kWrapsLate:
      pendingWrap_ = true;
      break;
  }
}

void TerminalModel::ScrollRegionUp() {
  for (int y = top_; y < bottom_; ++y)
    for (int x = 1; x <= width_; ++x) cells_[Index({x, y})] = cells_[Index({x, y + 1})];
  for (int x = 1; x <= width_; ++x) cells_[Index({x, bottom_})] = ScrolledIn();
}

void TerminalModel::ScrollRegionDown() {
  for (int y = bottom_; y > top_; --y)
    for (int x = 1; x <= width_; ++x) cells_[Index({x, y})] = cells_[Index({x, y - 1})];
  for (int x = 1; x <= width_; ++x) cells_[Index({x, top_})] = ScrolledIn();
}

void TerminalModel::LineFeed() {
  pendingWrap_ = false;
  if (capabilities_.lineFeedReturns) cursor_.x = 1;
  if (cursor_.y == bottom_)
    ScrollRegionUp();
  else if (cursor_.y < height_)
    ++cursor_.y;
}

void TerminalModel::Escape(char final) {
  pendingWrap_ = false;
  switch (final) {
    case 'D':  // IND
      LineFeed();
      break;
    case 'E':  // NEL
      cursor_.x = 1;
      LineFeed();
      break;
    case 'M':  // RI
      if (cursor_.y == top_)
        ScrollRegionDown();
      else if (cursor_.y > 1)
        --cursor_.y;
      break;
    case '7':  // DECSC
      savedCursor_ = cursor_;
      break;
    case '8':  // DECRC
      cursor_ = savedCursor_;
      break;
    case '=':  // the keypad's modes change no cell
    case '>':
      break;
    default:
      errors_ += std::string("unknown ESC ") + final + "\n";
  }
}

void TerminalModel::PrivateMode(std::string_view parameters, bool set) {
  for (int mode : Numbers(parameters.substr(1))) {
    if (mode != kAlternateScreen || set == alternate_) continue;
    // The alternate screen starts blank; leaving it shows the main screen again.
    if (set) savedCursor_ = cursor_;
    if (otherScreen_.empty()) otherScreen_.assign(cells_.size(), Cleared());
    std::swap(cells_, otherScreen_);
    if (set) std::fill(cells_.begin(), cells_.end(), Cleared());
    if (!set) cursor_ = savedCursor_;
    alternate_ = set;
  }
}

void TerminalModel::Rendition(const std::vector<int>& numbers) {
  constexpr int kPaletteForeground = 38;  // 38;5;n: colour n of the palette
  constexpr int kPaletteBackground = 48;
  constexpr int kPalette = 5;
  for (size_t at = 0; at < numbers.size(); ++at) {
    const int value = numbers[at];
    const bool palette = (value == kPaletteForeground || value == kPaletteBackground) &&
                         at + 2 < numbers.size() && numbers[at + 1] == kPalette;
    if (palette) {
      // The first sixteen are the colours of the parameters 30-37 and 90-97.
      const int colour = numbers[at + 2];
      const int base = value == kPaletteForeground ? 30 : 40;
      const int parameter = colour < 8 ? base + colour : base + 60 + colour - 8;
      (value == kPaletteForeground ? foreground_ : background_) = parameter;
      at += 2;
      continue;
    }
    if (value == 0) foreground_ = background_ = 0;
    if (value == 0 || value == 22) bold_ = false;
    if (value == 1) bold_ = true;
    const bool bright = value >= 90 && value <= 97;
    if (bright) Declared(capabilities_.brightColours, "SGR 90-97");
    if ((value >= 30 && value <= 37) || bright) foreground_ = value;
    if ((value >= 40 && value <= 47) || (value >= 100 && value <= 107)) background_ = value;
    if (value == 39) foreground_ = 0;
    if (value == 49) background_ = 0;
  }
}

void TerminalModel::Control(std::string_view parameters, char final) {
  if (parameters.starts_with('?') && (final == 'h' || final == 'l'))
    return PrivateMode(parameters, final == 'h');
  const std::vector<int> numbers = Numbers(parameters);
  const int count = std::max(numbers[0], 1);
  const auto clear = [this](Point from, Point to) {
    for (size_t i = Index(from); i <= Index(to); ++i) cells_[i] = Cleared();
  };
  if (final == 'b') {
    if (Declared(capabilities_.repeatsCharacter, "REP"))
      for (int i = 0; i < count; ++i) Put(lastGlyph_);
    return;
  }
  pendingWrap_ = pendingWrap_ && final == 'm';
  const bool relative = final >= 'A' && final <= 'D';
  if (relative && !Declared(capabilities_.movesRelatively, "relative move")) return;
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
    case 'G':  // CHA
    case '`':  // HPA
      cursor_.x = std::clamp(count, 1, width_);
      break;
    case 'd':  // VPA
      cursor_.y = std::clamp(count, 1, height_);
      break;
    case 'J':
      if (numbers[0] == 0) clear(cursor_, {width_, height_});
      if (numbers[0] == 1) clear({1, 1}, cursor_);
      if (numbers[0] == 2) clear({1, 1}, {width_, height_});
      break;
    case 'K':
      if (numbers[0] == 0) clear(cursor_, {width_, cursor_.y});
      if (numbers[0] == 1) clear({1, cursor_.y}, cursor_);
      if (numbers[0] == 2) clear({1, cursor_.y}, {width_, cursor_.y});
      break;
    case 'X':  // ECH, which curses programs send where the entry declares it
      clear(cursor_, {std::min(cursor_.x + count - 1, width_), cursor_.y});
      break;
    case '@': {  // ICH: blanks at the cursor, the rest of the row moves right
      const auto row = cells_.begin() + static_cast<std::ptrdiff_t>(Index({1, cursor_.y}));
      const int shift = std::min(count, width_ - cursor_.x + 1);
      std::shift_right(row + cursor_.x - 1, row + width_, shift);
      std::fill(row + cursor_.x - 1, row + cursor_.x - 1 + shift, Cleared());
      break;
    }
    case 'S':
      if (Declared(capabilities_.scrollsUpByCount, "SU"))
        for (int i = 0; i < count; ++i) ScrollRegionUp();
      break;
    case 'r':
      if (!Declared(capabilities_.setsScrollRegion, "DECSTBM")) break;
      top_ = std::max(numbers[0], 1);
      bottom_ = numbers.size() > 1 && numbers[1] > 0 ? numbers[1] : height_;
      cursor_ = {1, 1};
      break;
    case 'm':
      Rendition(numbers);
      break;
    case 'l':  // the insert mode's reset, the window's own report
    case 't':
    case 'c':  // and the queries, answered by the terminal's own input
    case 'u':
    case 'p':
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
    } else if (byte == '\x1b' && i + 1 < bytes.size() && bytes[i + 1] == ']') {
      // An OSC: a query of the terminal, which changes no cell; up to BEL or ST.
      const size_t end = bytes.find_first_of("\x07\x1b", i + 2);
      if (end == std::string_view::npos) {
        errors_ += "unfinished OSC\n";
        return;
      }
      i = end + (bytes[end] == '\x07' ? 1 : 2);
    } else if (byte == '\x1b' && i + 1 < bytes.size()) {
      // ESC ( and ESC ) choose character sets, which change no cell here.
      const bool designation = bytes[i + 1] == '(' || bytes[i + 1] == ')';
      if (!designation) Escape(bytes[i + 1]);
      i += designation ? 3 : 2;
    } else if (byte == '\r') {
      cursor_.x = 1;
      pendingWrap_ = false;
      ++i;
    } else if (byte == '\n') {
      LineFeed();
      ++i;
    } else if (byte == '\b') {
      if (Declared(capabilities_.movesRelatively, "BS"))
        cursor_.x = std::max(cursor_.x - (pendingWrap_ ? 0 : 1), 1);
      pendingWrap_ = false;
      ++i;
    } else if (byte == '\t') {
      cursor_.x = std::min((cursor_.x - 1) / kTabStop * kTabStop + kTabStop + 1, width_);
      ++i;
    } else if (byte == 0x0E || byte == 0x0F) {  // SO, SI: character sets again
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
