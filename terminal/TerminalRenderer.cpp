#include "TerminalRenderer.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "ControlSequences.h"
#include "console/Glyphs.h"

using namespace ControlSequences;

namespace {

// Cells the cursor may pass by writing them again instead of moving.
constexpr int kMaxRewrittenCells = 3;
// Cells to clear from which one erase sequence costs no more than blanks.
constexpr int kMinErasedCells = 4;
constexpr int kResetRendition = 0;
constexpr int kForegroundBase = 30;
constexpr int kBrightForegroundBase = 90;
constexpr int kBackgroundBase = 40;

// PC colours number blue as bit 0 and red as bit 2; terminal colours the reverse.
constexpr int TerminalColour(int pcColour) {
  return (pcColour & 2) | ((pcColour & 1) << 2) | ((pcColour & 4) >> 2);
}
constexpr int kBold = 1;           // the bright foreground where only eight colours are declared
constexpr int kNormalWeight = 22;  // bold off again
constexpr bool Intense(int attribute) {
  return (attribute & 0x08) != 0;
}
constexpr int ForegroundParameter(uint8_t attribute, bool brightColours) {
  const int base = Intense(attribute) && brightColours ? kBrightForegroundBase : kForegroundBase;
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

// CSI n final, the count left out when it is 1.
std::string RelativeMove(int count, char final) {
  std::string move = kCsi;
  if (count != 1) AppendNumber(count, move);
  move += final;
  return move;
}

// Cells that look the same: bit 7 has no look of its own. A blank keeps its
// foreground too, which a terminal's cursor may show.
bool LookTheSame(const Cell& a, const Cell& b) {
  return a.character == b.character && ((a.attribute ^ b.attribute) & 0x7F) == 0;
}

}  // namespace

TerminalRenderer::TerminalRenderer(int width, int height, TerminalCapabilities capabilities)
    : width_(width),
      height_(height),
      capabilities_(capabilities),
      slots_(static_cast<size_t>(width * height)),
      claimed_(static_cast<size_t>(height)) {}

int TerminalRenderer::FormatCursorMove(Point position, char* out) {
  int length = 0;
  out[length++] = kEscape;
  out[length++] = '[';
  // Row and column 1 are the defaults and may be left out.
  const int row = std::clamp(position.y, 1, 99999);
  const int column = std::clamp(position.x, 1, 99999);
  if (row != 1 || column != 1) length += FormatNumber(row, out + length);
  if (column != 1) {
    out[length++] = ';';
    length += FormatNumber(column, out + length);
  }
  out[length++] = kCursorMoveFinal;
  return length;
}

void TerminalRenderer::Claim(Rect area) {
  const int left = std::max(area.left, 1);
  const int right = std::min(area.right, width_);
  if (left > right) return;
  for (int y = std::max(area.top, 1); y <= std::min(area.bottom, height_); ++y) {
    for (int x = left; x <= right; ++x) {
      Slot& slot = SlotAt(x, y);
      if (slot.state == SlotState::kForeign) slot.state = SlotState::kStale;
    }
    Span& span = claimed_[static_cast<size_t>(y - 1)];
    span = span.Empty() ? Span{left, right}
                        : Span{std::min(span.left, left), std::max(span.right, right)};
  }
}

void TerminalRenderer::AppendAttribute(uint8_t attribute, std::string& out) {
  // From unknown colours or the terminal's own, both colours are set; the
  // rest of the rendition is reset with them unless a reset left it so.
  const bool fresh = shownAttribute_ < 0;
  const bool foregroundChanges = fresh || ((shownAttribute_ ^ attribute) & 0x0F) != 0;
  const bool backgroundChanges = fresh || ((shownAttribute_ ^ attribute) & 0x70) != 0;
  const bool renditionUnknown = shownAttribute_ == kUnknownAttribute;
  // Where bold stands for the bright foreground, it is on while an intense
  // colour is shown; the reset before colours set afresh has turned it off.
  const bool byBold = !capabilities_.brightColours;
  const bool boldShown = !fresh && Intense(shownAttribute_);
  shownAttribute_ = attribute;
  if (!foregroundChanges && !backgroundChanges) return;
  out += kCsi;
  if (renditionUnknown) {
    AppendNumber(kResetRendition, out);
    out += ';';
  }
  if (byBold && boldShown != Intense(attribute)) {
    AppendNumber(Intense(attribute) ? kBold : kNormalWeight, out);
    out += ';';
  }
  if (foregroundChanges) AppendNumber(ForegroundParameter(attribute, !byBold), out);
  if (foregroundChanges && backgroundChanges) out += ';';
  if (backgroundChanges) AppendNumber(BackgroundParameter(attribute), out);
  out += kGraphicRenditionFinal;
}

size_t TerminalRenderer::WireLength(std::string_view sequence) const {
  const size_t lineFeeds =
      capabilities_.lineFeedReturns ? std::count(sequence.begin(), sequence.end(), '\n') : 0;
  return sequence.size() + lineFeeds;
}

std::optional<std::string> TerminalRenderer::AlongRow(int row, int from, int to) {
  if (to == from) return std::string();
  const bool relative = capabilities_.movesRelatively;
  std::optional<std::string> best;
  const auto consider = [&best](std::string candidate) {
    if (!best || candidate.size() < best->size()) best = std::move(candidate);
  };
  if (relative)
    consider(to > from ? RelativeMove(to - from, kCursorForwardFinal)
                       : RelativeMove(from - to, kCursorBackwardFinal));
  if (to == 1) consider("\r");
  if (relative && to < from) consider(std::string(static_cast<size_t>(from - to), kBackspace[0]));
  if (relative && to > 1 && to < from) consider("\r" + RelativeMove(to - 1, kCursorForwardFinal));
  // Writing the cells in between again moves the cursor as well.
  const int start = to > from ? from : 1;
  if (to - start <= kMaxRewrittenCells && shownAttribute_ >= 0) {
    std::string rewrite = to > from ? "" : "\r";
    for (int x = start; x < to; ++x) {
      const Slot& slot = SlotAt(x, row);
      const Cell rewritten{slot.cell.character, static_cast<uint8_t>(shownAttribute_)};
      if (!Shows(slot) || !LookTheSame(slot.cell, rewritten)) return best;
      rewrite += CellGlyph(slot.cell.character);
    }
    consider(std::move(rewrite));
  }
  return best;
}

void TerminalRenderer::MoveCursor(Point target, std::string& out) {
  if (target == terminalCursor_ && !pendingWrap_) return;
  char absolute[kMaxCursorMove];
  std::string best(absolute, static_cast<size_t>(FormatCursorMove(target, absolute)));
  if (terminalCursor_ != kUnknownCursor) {
    // Waiting to wrap, the cursor goes only by CR (or absolutely) the same way everywhere.
    const std::string start = pendingWrap_ ? "\r" : "";
    const Point from{pendingWrap_ ? 1 : terminalCursor_.x, terminalCursor_.y};
    const int down = target.y - from.y;
    const auto consider = [&](const std::string& before, int column) {
      const std::optional<std::string> along = AlongRow(target.y, column, target.x);
      if (!along) return;
      std::string candidate = before + *along;
      if (WireLength(candidate) < WireLength(best)) best = std::move(candidate);
    };
    const bool lineFeedReturns = capabilities_.lineFeedReturns;
    const std::string lineFeeds(static_cast<size_t>(std::max(down, 0)), '\n');
    if (down == 0) consider(start, from.x);
    // Waiting to wrap, the driver's return before each line feed takes the cursor on too.
    if (down > 0 && pendingWrap_ && lineFeedReturns) consider(lineFeeds, 1);
    if (down > 0) consider(start + lineFeeds, lineFeedReturns ? 1 : from.x);
    if (down > 0 && capabilities_.movesRelatively)
      consider(start + RelativeMove(down, kCursorDownFinal), from.x);
    if (down < 0 && capabilities_.movesRelatively)
      consider(start + RelativeMove(-down, kCursorUpFinal), from.x);
  }
  out += best;
  terminalCursor_ = target;
  pendingWrap_ = false;
}

bool TerminalRenderer::NeedsDrawing(const Slot& slot, const Cell& cell) const {
  return slot.state == SlotState::kStale || (Shows(slot) && !LookTheSame(slot.cell, cell));
}

void TerminalRenderer::DrawCell(int x, int y, const Cell& cell, std::string& out) {
  MoveCursor({x, y}, out);
  AppendAttribute(cell.attribute, out);
  out += CellGlyph(cell.character);
  SlotAt(x, y) = Slot{cell, SlotState::kShown};
  Written(x, y);
}

void TerminalRenderer::Written(int x, int y) {
  pendingWrap_ = false;
  terminalCursor_ = {x + 1, y};
  if (x < width_) return;
  switch (capabilities_.rightMargin) {
    case RightMargin::kWrapsAtOnce:
      terminalCursor_ = {1, y + 1};
      break;
    case RightMargin::kStays:
      terminalCursor_ = {x, y};
      break;
    case RightMargin::kUnknown:
    case RightMargin::kWrapsLate:
      // The next glyph would go on in the next row, but no row is let run on
      // into the next: a terminal that reflows its lines would join them.
      terminalCursor_ = {x, y};
      pendingWrap_ = true;
      break;
  }
}

int TerminalRenderer::RunEnd(const CellGrid& wanted, int x, int y, int last) const {
  const Cell& cell = wanted.At({x, y});
  // Cells in between that already show the same are written again: the run goes on.
  int end = x;
  for (int next = x + 1; next <= last && LookTheSame(wanted.At({next, y}), cell) &&
                         SlotAt(next, y).state != SlotState::kForeign;
       ++next)
    if (NeedsDrawing(SlotAt(next, y), wanted.At({next, y}))) end = next;
  return end;
}

int TerminalRenderer::RepeatCell(const CellGrid& wanted, int x, int y, int last, std::string& out) {
  const Cell& cell = wanted.At({x, y});
  const int end = RunEnd(wanted, x, y, last);
  const int count = end - x;
  const std::string repeat = RelativeMove(count, kRepeatFinal);
  if (count == 0 || repeat.size() >= static_cast<size_t>(count) * CellGlyph(cell.character).size())
    return x;
  out += repeat;
  for (int column = x + 1; column <= end; ++column)
    SlotAt(column, y) = Slot{wanted.At({column, y}), SlotState::kShown};
  Written(end, y);
  return end;
}

int TerminalRenderer::BlankTail(const CellGrid& wanted, int y, uint8_t& blank) {
  const int width = wanted.Width();
  blank = wanted.At({width, y}).attribute;
  int x = width;
  while (x >= 1 && LookTheSame(wanted.At({x, y}), Cell{' ', blank}) &&
         SlotAt(x, y).state != SlotState::kForeign)
    --x;
  return x + 1;
}

void TerminalRenderer::Erase(const CellGrid& wanted, int y, int from, bool toScreenEnd,
                             uint8_t blank, std::string& out) {
  Point start{0, 0};
  for (int row = y; row <= (toScreenEnd ? height_ : y) && start.x == 0; ++row)
    for (int x = row == y ? from : 1; x <= width_; ++x)
      if (NeedsDrawing(SlotAt(x, row), wanted.At({x, row}))) {
        start = {x, row};
        break;
      }
  if (start.x == 0) return;
  MoveCursor(start, out);
  AppendAttribute(blank, out);
  out += toScreenEnd ? kEraseToScreenEnd : kEraseToLineEnd;
  for (int row = start.y; row <= (toScreenEnd ? height_ : start.y); ++row)
    for (int x = row == start.y ? start.x : 1; x <= width_; ++x)
      SlotAt(x, row) = Slot{Cell{' ', blank}, SlotState::kErased};
}

int TerminalRenderer::ChangedCells(const CellGrid& wanted, int y, int from, int to) const {
  int count = 0;
  for (int x = from; x <= to; ++x) count += NeedsDrawing(SlotAt(x, y), wanted.At({x, y}));
  return count;
}

TerminalRenderer::ErasePlan TerminalRenderer::PlanErase(const CellGrid& wanted, int y,
                                                        int blankBottom, uint8_t bottomBlank) {
  constexpr ErasePlan kNone{kNoErase, false, 0};
  const Span span = claimed_[static_cast<size_t>(y - 1)];
  const bool blankBelow = blankBottom <= y + 1;
  // With fewer blanks to draw in the row than an erase costs, only an erase
  // of the blank rows below as well may pay off; the row is not looked at further.
  int blanks = 0;
  for (int x = span.left; x <= span.right; ++x)
    blanks += wanted.At({x, y}).character == ' ' && NeedsDrawing(SlotAt(x, y), wanted.At({x, y}));
  if (blanks < kMinErasedCells && !blankBelow) return kNone;
  uint8_t blank = 0;
  ErasePlan plan{BlankTail(wanted, y, blank), false, blank};
  if (plan.from > width_) return kNone;
  int changed = ChangedCells(wanted, y, std::max(plan.from, span.left), span.right);
  plan.toScreenEnd = blankBelow && (y == height_ || plan.blank == bottomBlank);
  for (int row = y + 1; plan.toScreenEnd && row <= height_ && changed < kMinErasedCells; ++row) {
    const Span& below = claimed_[static_cast<size_t>(row - 1)];
    changed += ChangedCells(wanted, row, below.left, below.right);
  }
  return changed >= kMinErasedCells ? plan : kNone;
}

void TerminalRenderer::DrawCells(const CellGrid& wanted, std::string& out) {
  const int width = std::min(width_, wanted.Width());
  const int height = std::min(height_, wanted.Height());
  const bool mayErase = capabilities_.erasesInCurrentColour && width == width_ && height == height_;
  // The rows at the bottom that are claimed whole and blank from end to end
  // in one colour, which an erase to the end of the screen may clear together.
  int blankBottom = height + 1;
  uint8_t bottomBlank = 0;
  if (mayErase) {
    uint8_t blank = 0;
    const auto claimedWhole = [this](int y) {
      const Span& span = claimed_[static_cast<size_t>(y - 1)];
      return span.left == 1 && span.right == width_;
    };
    while (blankBottom > 1 && claimedWhole(blankBottom - 1) &&
           BlankTail(wanted, blankBottom - 1, blank) == 1 &&
           (blankBottom == height + 1 || blank == bottomBlank)) {
      bottomBlank = blank;
      --blankBottom;
    }
  }
  for (int y = 1; y <= height; ++y) {
    Span& span = claimed_[static_cast<size_t>(y - 1)];
    if (span.Empty()) continue;
    const int right = std::min(span.right, width);
    const ErasePlan erase =
        mayErase ? PlanErase(wanted, y, blankBottom, bottomBlank) : ErasePlan{kNoErase, false, 0};
    const bool cornerScrolls = WritingScrolls(width_, y);
    const int last = std::min({right, erase.from - 1, cornerScrolls ? width_ - 1 : width_});
    for (int x = span.left; x <= last; ++x) {
      const Cell& cell = wanted.At({x, y});
      if (!NeedsDrawing(SlotAt(x, y), cell)) continue;
      DrawCell(x, y, cell, out);
      if (capabilities_.repeatsCharacter) x = RepeatCell(wanted, x, y, last, out);
    }
    span = Span{};
    if (erase.from <= width) {
      Erase(wanted, y, erase.from, erase.toScreenEnd, erase.blank, out);
      if (erase.toScreenEnd) {
        std::fill(claimed_.begin() + y, claimed_.end(), Span{});
        return;
      }
    }
    // The corner stays claimed, to be drawn once a scroll has moved it up.
    if (cornerScrolls && NeedsDrawing(SlotAt(width_, y), wanted.At({width_, y})))
      span = Span{width_, width_};
  }
}

void TerminalRenderer::RestoreColours(std::string& out) {
  if (shownAttribute_ < 0) return;
  out += kCsi;
  AppendNumber(kResetRendition, out);
  out += kGraphicRenditionFinal;
  shownAttribute_ = kOwnColours;
}

void TerminalRenderer::PlaceCursor(Point cursor, std::string& out) {
  MoveCursor({std::clamp(cursor.x, 1, width_), std::clamp(cursor.y, 1, height_)}, out);
}

void TerminalRenderer::ShowCursorCell(std::string& out) {
  const Point cursor = terminalCursor_;
  if (cursor == kUnknownCursor || pendingWrap_ || cursor.x > width_ ||
      WritingScrolls(cursor.x, cursor.y))
    return;
  const Slot& slot = SlotAt(cursor.x, cursor.y);
  if (slot.state != SlotState::kErased) return;
  DrawCell(cursor.x, cursor.y, slot.cell, out);
  MoveCursor(cursor, out);
}

void TerminalRenderer::ScrollUp(int top, int bottom, std::string& out) {
  top = std::max(top, 1);
  bottom = std::min(bottom, height_);
  if (top > bottom) return;
  const bool wholeScreen = top == 1 && bottom == height_;
  if (top < bottom && !wholeScreen && !capabilities_.setsScrollRegion) {
    // The rows cannot be moved alone: they are drawn again where they change.
    Claim({1, top, width_, bottom});
    return;
  }
  if (top < bottom) {
    if (!wholeScreen) {
      out += kCsi;
      AppendNumber(top, out);
      out += ';';
      AppendNumber(bottom, out);
      out += kScrollRegionFinal;
      terminalCursor_ = Point{1, 1};
      pendingWrap_ = false;
    }
    if (!capabilities_.scrollsUpByCount || (terminalCursor_.y == bottom && !pendingWrap_)) {
      // A line feed on the bottom row scrolls as well, in one byte.
      if (terminalCursor_.y != bottom || pendingWrap_) MoveCursor({1, bottom}, out);
      out += '\n';
      if (capabilities_.lineFeedReturns) terminalCursor_.x = 1;
    } else {
      out += kScrollUpOneLine;
    }
    if (!wholeScreen) {
      out += kResetScrollRegion;
      terminalCursor_ = Point{1, 1};
      pendingWrap_ = false;
    }
    std::move(slots_.begin() + static_cast<std::ptrdiff_t>(top * width_),
              slots_.begin() + static_cast<std::ptrdiff_t>(bottom * width_),
              slots_.begin() + static_cast<std::ptrdiff_t>((top - 1) * width_));
    std::move(claimed_.begin() + top, claimed_.begin() + bottom, claimed_.begin() + top - 1);
  }
  // Terminals differ in the colours of the row a scroll brings in, whatever
  // they erase in (kitty keeps its own): it is drawn again.
  for (int x = 1; x <= width_; ++x) SlotAt(x, bottom) = Slot{Cell{}, SlotState::kStale};
  claimed_[static_cast<size_t>(bottom - 1)] = Span{1, width_};
}
