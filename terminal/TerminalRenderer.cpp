#include "TerminalRenderer.h"

#include <algorithm>
#include <cstddef>

#include "console/Glyphs.h"

namespace {

constexpr char kEscape = '\x1b';
constexpr char kCsi[] = "\x1b[";                 // control sequence introducer
constexpr char kCursorMoveFinal = 'H';           // CSI row;column H
constexpr char kGraphicRenditionFinal = 'm';     // CSI parameters m
constexpr char kScrollRegionFinal = 'r';         // CSI top;bottom r
constexpr char kScrollUpOneLine[] = "\x1b[1S";   // scrolls the scroll region up one line
constexpr char kResetScrollRegion[] = "\x1b[r";  // whole screen again; cursor to (1, 1)
constexpr int kResetRendition = 0;
constexpr int kForegroundBase = 30;
constexpr int kBrightForegroundBase = 90;
constexpr int kBackgroundBase = 40;

// PC colours number blue as bit 0 and red as bit 2; terminal colours the reverse.
constexpr int TerminalColour(int pcColour) {
  return (pcColour & 2) | ((pcColour & 1) << 2) | ((pcColour & 4) >> 2);
}
constexpr int ForegroundParameter(uint8_t attribute) {
  const int base = (attribute & 0x08) != 0 ? kBrightForegroundBase : kForegroundBase;
  return base + TerminalColour(attribute & 0x07);
}
constexpr int BackgroundParameter(uint8_t attribute) {
  return kBackgroundBase + TerminalColour((attribute >> 4) & 0x07);
}

int FormatNumber(int value, char* out) {
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value > 0 && count < 10);
  for (int i = 0; i < count; ++i) out[i] = digits[count - 1 - i];
  return count;
}

void AppendNumber(int value, std::string& out) {
  char digits[10];
  out.append(digits, static_cast<size_t>(FormatNumber(value, digits)));
}

}  // namespace

TerminalRenderer::TerminalRenderer(int width, int height)
    : width_(width), height_(height), slots_(static_cast<size_t>(width * height)) {}

int TerminalRenderer::FormatCursorMove(Point position, char* out) {
  int length = 0;
  out[length++] = kEscape;
  out[length++] = '[';
  length += FormatNumber(std::clamp(position.y, 1, 99999), out + length);
  out[length++] = ';';
  length += FormatNumber(std::clamp(position.x, 1, 99999), out + length);
  out[length++] = kCursorMoveFinal;
  return length;
}

void TerminalRenderer::Claim(Rect area) {
  const int left = std::max(area.left, 1);
  const int right = std::min(area.right, width_);
  for (int y = std::max(area.top, 1); y <= std::min(area.bottom, height_); ++y)
    for (int x = left; x <= right; ++x) {
      Slot& slot = SlotAt(x, y);
      if (slot.state == SlotState::kForeign) slot.state = SlotState::kStale;
    }
}

void TerminalRenderer::AppendAttribute(uint8_t attribute, std::string& out) {
  // Bit 7 has no look of its own; such a cell looks like one without it.
  const bool fresh = shownAttribute_ == kUnknownAttribute;
  const bool foregroundChanges = fresh || ((shownAttribute_ ^ attribute) & 0x0F) != 0;
  const bool backgroundChanges = fresh || ((shownAttribute_ ^ attribute) & 0x70) != 0;
  shownAttribute_ = attribute;
  if (!foregroundChanges && !backgroundChanges) return;
  out += kCsi;
  if (fresh) {
    AppendNumber(kResetRendition, out);
    out += ';';
  }
  if (foregroundChanges) AppendNumber(ForegroundParameter(attribute), out);
  if (foregroundChanges && backgroundChanges) out += ';';
  if (backgroundChanges) AppendNumber(BackgroundParameter(attribute), out);
  out += kGraphicRenditionFinal;
}

void TerminalRenderer::DrawCells(const CellGrid& wanted, std::string& out) {
  const int width = std::min(width_, wanted.Width());
  const int height = std::min(height_, wanted.Height());
  for (int y = 1; y <= height; ++y)
    for (int x = 1; x <= width; ++x) {
      Slot& slot = SlotAt(x, y);
      const Cell& cell = wanted.At({x, y});
      if (slot.state == SlotState::kForeign) continue;
      if (slot.state == SlotState::kShown && slot.cell == cell) continue;
      PlaceCursor({x, y}, out);
      AppendAttribute(cell.attribute, out);
      out += CellGlyph(cell.character);
      slot = Slot{cell, SlotState::kShown};
      // After the last column the terminal's cursor waits to wrap; where it
      // stands then differs between terminals, so the next cell moves it.
      terminalCursor_ = x < width_ ? Point{x + 1, y} : kUnknownCursor;
    }
}

void TerminalRenderer::RestoreColours(std::string& out) {
  if (shownAttribute_ == kUnknownAttribute) return;
  out += kCsi;
  AppendNumber(kResetRendition, out);
  out += kGraphicRenditionFinal;
  shownAttribute_ = kUnknownAttribute;
}

void TerminalRenderer::PlaceCursor(Point cursor, std::string& out) {
  cursor = {std::clamp(cursor.x, 1, width_), std::clamp(cursor.y, 1, height_)};
  if (cursor == terminalCursor_) return;
  char move[kMaxCursorMove];
  out.append(move, static_cast<size_t>(FormatCursorMove(cursor, move)));
  terminalCursor_ = cursor;
}

void TerminalRenderer::ScrollUp(int top, int bottom, std::string& out) {
  top = std::max(top, 1);
  bottom = std::min(bottom, height_);
  if (top > bottom) return;
  if (top < bottom) {
    if (top == 1 && bottom == height_) {
      out += kScrollUpOneLine;
    } else {
      out += kCsi;
      AppendNumber(top, out);
      out += ';';
      AppendNumber(bottom, out);
      out += kScrollRegionFinal;
      out += kScrollUpOneLine;
      out += kResetScrollRegion;
      terminalCursor_ = Point{1, 1};
    }
    std::move(slots_.begin() + static_cast<std::ptrdiff_t>(top * width_),
              slots_.begin() + static_cast<std::ptrdiff_t>(bottom * width_),
              slots_.begin() + static_cast<std::ptrdiff_t>((top - 1) * width_));
  }
  // The terminal blanks the new bottom row in colours of its choosing.
  for (int x = 1; x <= width_; ++x) SlotAt(x, bottom).state = SlotState::kStale;
}

void TerminalRenderer::Reset(int width, int height) {
  width_ = width;
  height_ = height;
  slots_.assign(static_cast<size_t>(width * height), Slot{});
  shownAttribute_ = kUnknownAttribute;
  terminalCursor_ = kUnknownCursor;
}
