// A model terminal: it carries out the bytes a program sends (cursor moves,
// colours, erases, scroll region and scrolls, line ends, UTF-8 glyphs, and
// the rest of what a curses program sends an xterm-like terminal) on a grid of
// cells, so that what a terminal shows can be compared with what the program
// wanted. It does what a set of capabilities declares and no more: a sequence
// the set does not declare, like one the model does not know, is recorded in
// Errors. Cells it never wrote keep the terminal's own text; cells an erase or
// scroll clears take the current background only on a terminal that fills in
// the current background, else colours of its own, and keep a foreground of
// its own (which a terminal may draw its cursor in) either way.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "console/ConsoleDevice.h"
#include "terminal/TerminalCapabilities.h"

class TerminalModel {
 public:
  /// Colour values beside the SGR parameters: the terminal's own choice.
  static constexpr int kOwnColour = -1;
  struct ModelCell {
    char32_t glyph = U'#';        // the terminal's own text
    int foreground = kOwnColour;  // the SGR parameter in force when it was written
    int background = kOwnColour;
    friend bool operator==(const ModelCell&, const ModelCell&) = default;
    friend std::ostream& operator<<(std::ostream& out, const ModelCell& cell) {
      return out << "U+" << std::hex << static_cast<uint32_t>(cell.glyph) << std::dec << " in "
                 << cell.foreground << ";" << cell.background;
    }
  };

  /// A terminal of `capabilities`; where `scrollFills` is false, the rows a
  /// scroll brings in are in its own colours even where it erases in the current ones.
  TerminalModel(int width, int height, TerminalCapabilities capabilities, bool scrollFills = true);

  /// Carries out `bytes`; a sequence it does not carry out is recorded in Errors.
  void Feed(std::string_view bytes);
  const ModelCell& At(Point p) const { return cells_[Index(p)]; }
  /// The cursor, or {0, 0} while it waits to wrap after the last column.
  Point Cursor() const { return pendingWrap_ ? Point{0, 0} : cursor_; }
  const std::string& Errors() const { return errors_; }

 private:
  size_t Index(Point p) const { return static_cast<size_t>((p.y - 1) * width_ + (p.x - 1)); }
  ModelCell Cleared() const;
  /// A cell a scroll brings in.
  ModelCell ScrolledIn() const { return scrollFills_ ? Cleared() : ModelCell{U' '}; }
  /// The foreground a glyph written now shows.
  int ShownForeground() const;
  void Put(char32_t glyph);
  void LineFeed();
  void ScrollRegionUp();
  void ScrollRegionDown();
  /// Carries out ESC `final`, which is not a control sequence.
  void Escape(char final);
  void Control(std::string_view parameters, char final);
  /// Takes the private modes of CSI ? parameters h or l.
  void PrivateMode(std::string_view parameters, bool set);
  void Rendition(const std::vector<int>& numbers);
  /// Records `what` as an error unless the capabilities declare it.
  bool Declared(bool declared, std::string_view what);

  int width_;
  int height_;
  TerminalCapabilities capabilities_;
  bool scrollFills_;
  std::vector<ModelCell> cells_;
  std::vector<ModelCell> otherScreen_;  // the main screen while the alternate one is shown
  bool alternate_ = false;
  Point cursor_{1, 1};
  Point savedCursor_{1, 1};
  char32_t lastGlyph_ = U' ';  // what REP repeats
  bool pendingWrap_ = false;
  bool bold_ = false;  // SGR 1: the bright foreground where no SGR 90-97 is declared
  int foreground_ = kOwnColour;
  int background_ = kOwnColour;
  int top_ = 1;
  int bottom_;
  std::string errors_;
};
