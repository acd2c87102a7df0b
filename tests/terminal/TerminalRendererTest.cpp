#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "console/Glyphs.h"
#include "support/TerminalModel.h"
#include "terminal/TerminalRenderer.h"

namespace {

constexpr int kWidth = 10;
constexpr int kHeight = 4;
constexpr Rect kWholeScreen{1, 1, kWidth, kHeight};
constexpr uint8_t kPage = 0x70;  // black on light gray
constexpr TerminalCapabilities kErases{.erasesInCurrentColour = true};
constexpr TerminalCapabilities kLineFeedReturns{.lineFeedReturns = true};
constexpr TerminalCapabilities kWrapsLate{.rightMargin = RightMargin::kWrapsLate};
constexpr TerminalCapabilities kWrapsAtOnce{.rightMargin = RightMargin::kWrapsAtOnce};
constexpr TerminalCapabilities kStays{.rightMargin = RightMargin::kStays};
constexpr TerminalCapabilities kAbsoluteOnly{.movesRelatively = false};
constexpr TerminalCapabilities kNoScrollUp{.scrollsUpByCount = false};
constexpr TerminalCapabilities kNoScrollRegion{.setsScrollRegion = false};

// The wanted grid and the renderer, changed together as the terminal device
// changes them: every change to the grid claims its cells.
struct Screen {
  CellGrid wanted;
  TerminalRenderer renderer;

  explicit Screen(TerminalCapabilities capabilities = {}, int width = kWidth)
      : wanted(width, kHeight), renderer(width, kHeight, capabilities) {}
  void Write(Point at, std::string_view text, uint8_t attribute = kPage) {
    wanted.Write(at, text, attribute);
    renderer.Claim({at.x, at.y, at.x + static_cast<int>(text.size()) - 1, at.y});
  }
  void Fill(Rect area, Cell fill) {
    wanted.Fill(area, fill);
    renderer.Claim(area);
  }
  std::string Draw() {
    std::string out;
    renderer.DrawCells(wanted, out);
    return out;
  }
  std::string Place(Point cursor) {
    std::string out;
    renderer.PlaceCursor(cursor, out);
    return out;
  }
  // What the terminal device adds as the program goes on to wait.
  std::string ShowCursorCell() {
    std::string out;
    renderer.ShowCursorCell(out);
    return out;
  }
  std::string Scroll(int top, int bottom, Cell fill) {
    std::string out;
    renderer.ScrollUp(top, bottom, out);
    wanted.ScrollUp({1, top, wanted.Width(), bottom}, fill);
    return out;
  }
};

// A screen drawn whole in '.' on the page colours, so that further output
// shows only what changes after; the cursor waits to wrap after the last cell.
struct DrawnScreen : Screen {
  explicit DrawnScreen(TerminalCapabilities capabilities = {}, int width = kWidth)
      : Screen(capabilities, width) {
    Fill({1, 1, width, kHeight}, Cell{'.', kPage});
    Draw();
  }
};

struct ByteCase {
  const char* what;
  TerminalCapabilities capabilities;
  std::function<std::string(Screen&)> change;
  std::string expected;
};

TEST(TerminalRenderer, ChoosesTheCheapestBytesForEachChange) {
  const ByteCase cases[] = {
      {"rewrites up to three unchanged cells instead of moving",
       {},
       [](Screen& s) {
         s.Place({1, 1});
         s.Write({2, 1}, "xy");
         s.Write({7, 1}, "z");
         return s.Draw();
       },
       ".xy...z"},
      {"steps over four unchanged cells",
       {},
       [](Screen& s) {
         s.Place({1, 1});
         s.Write({1, 1}, "a");
         s.Write({6, 1}, "b");
         return s.Draw();
       },
       "a\x1b[4Cb"},
      {"moves over cells in other colours instead of rewriting them",
       {},
       [](Screen& s) {
         s.Write({2, 2}, "c", 0x74);
         s.Write({4, 2}, "d");
         s.Draw();
         s.Place({1, 2});
         s.Write({3, 2}, "e");
         return s.Draw();
       },
       "\x1b[2Ce"},
      {"starts the next row with a line feed and a return",
       {},
       [](Screen& s) {
         s.Place({4, 2});
         s.Write({1, 3}, "e");
         return s.Draw();
       },
       "\n\re"},
      {"needs no return where the line feed returns", kLineFeedReturns,
       [](Screen& s) {
         s.Place({4, 2});
         s.Write({1, 3}, "e");
         return s.Draw();
       },
       "\ne"},
      {"goes up and back relative to the cursor",
       {},
       [](Screen& s) {
         std::string out = s.Place({4, 3});
         out += s.Place({4, 1});
         return out + s.Place({3, 1});
       },
       "\x1b[3;4H\x1b[2A\b"},
      {"moves absolutely or by writing cells again where the terminal has no relative moves",
       kAbsoluteOnly,
       [](Screen& s) {
         std::string out = s.Place({4, 3});
         out += s.Place({4, 1});
         return out + s.Place({3, 1});
       },
       "\x1b[3;4H\x1b[1;4H\r.."},
      {"leaves the wait to wrap by a return",
       {},
       [](Screen& s) {
         s.Write({10, 2}, "f");
         s.Write({1, 3}, "g");
         return s.Draw();
       },
       "\x1b[2;10Hf\r\ng"},
      {"leaves the wait to wrap by a line feed where the driver adds the return", kLineFeedReturns,
       [](Screen& s) {
         s.Write({10, 2}, "f");
         s.Write({1, 3}, "g");
         return s.Draw();
       },
       "\x1b[2;10Hf\ng"},
      {"lets no row run on into the next, also where the terminal wraps late", kWrapsLate,
       [](Screen& s) {
         s.Write({10, 2}, "f");
         s.Write({1, 3}, "g");
         return s.Draw();
       },
       "\x1b[2;10Hf\r\ng"},
      {"writes on into the next row where the terminal wraps at once", kWrapsAtOnce,
       [](Screen& s) {
         s.Write({10, 2}, "f");
         s.Write({1, 3}, "g");
         return s.Draw();
       },
       "\x1b[2Afg"},
      {"leaves the last column by a return where the cursor stays there", kStays,
       [](Screen& s) {
         s.Write({9, 2}, "fg");
         s.Write({1, 3}, "h");
         return s.Draw();
       },
       "\x1b[2A\bfg\n\rh"},
      {"never writes the bottom-right cell where that wraps at once and scrolls", kWrapsAtOnce,
       [](Screen& s) {
         s.Write({9, kHeight}, "yz");
         return s.Draw();
       },
       "\by"},
      {"sends blanks where erasing takes the terminal's colours",
       {},
       [](Screen& s) {
         s.Fill({1, 3, kWidth, kHeight}, Cell{' ', kPage});
         return s.Draw();
       },
       "\x1b[3H          \r\n          "},
      {"erases to the end of the screen in the page colours", kErases,
       [](Screen& s) {
         s.Fill(kWholeScreen, Cell{' ', kPage});
         s.Write({1, 1}, "T");
         return s.Draw();
       },
       "\x1b[HT\x1b[J"},
      {"erases the rest of a row", kErases,
       [](Screen& s) {
         s.Write({1, 2}, "ab        ");
         return s.Draw();
       },
       "\x1b[2Hab\x1b[K"},
      {"sends three blanks rather than an erase", kErases,
       [](Screen& s) {
         s.Write({8, 2}, "   ");
         return s.Draw();
       },
       "\x1b[2;8H   "},
      {"scrolls by a line feed on the bottom row, then erases the new row in the page colours",
       kErases,
       [](Screen& s) {
         std::string out = s.Place({1, kHeight});
         out += s.Scroll(1, kHeight, {' ', kPage});
         return out + s.Draw();
       },
       "\r\n\x1b[J"},
      {"erases the new row in its own colours once scrolled", kErases,
       [](Screen& s) {
         std::string out = s.Place({1, kHeight});
         out += s.Scroll(1, kHeight, {' ', 0x10});
         return out + s.Draw();
       },
       "\r\n\x1b[44m\x1b[J"},
      {"writes the erased cell under the cursor once, to show it", kErases,
       [](Screen& s) {
         s.Write({1, 2}, "ab        ");
         std::string out = s.Draw();
         for (int time = 0; time < 2; ++time) {
           out += s.Place({3, 2});
           out += s.ShowCursorCell();
         }
         return out;
       },
       "\x1b[2Hab\x1b[K \b"},
      {"shows a written cell under the cursor as it is", kErases,
       [](Screen& s) {
         s.Write({1, 2}, "ab");
         std::string out = s.Draw();
         out += s.Place({2, 2});
         return out + s.ShowCursorCell();
       },
       "\x1b[2Hab\b"},
      {"scrolls elsewhere and draws the new bottom row where erasing takes other colours",
       {},
       [](Screen& s) {
         std::string out = s.Place({1, 1});
         out += s.Scroll(1, kHeight, {' ', kPage});
         return out + s.Draw();
       },
       "\x1b[H\x1b[S\n\n\n          "},
      {"scrolls part of the screen in a scroll region",
       {},
       [](Screen& s) {
         std::string out = s.Scroll(2, 3, {'-', kPage});
         return out + s.Draw();
       },
       "\x1b[2;3r\x1b[S\x1b[r\n\n----------"},
      {"scrolls a region by a line feed on its bottom row without SU", kNoScrollUp,
       [](Screen& s) {
         std::string out = s.Scroll(2, 3, {'-', kPage});
         return out + s.Draw();
       },
       "\x1b[2;3r\n\n\n\x1b[r\n\n----------"},
      {"draws the rows of a region again without a scroll region", kNoScrollRegion,
       [](Screen& s) {
         s.Write({1, 3}, "abc");
         s.Draw();
         std::string out = s.Scroll(2, 3, {'-', kPage});
         return out + s.Draw();
       },
       "\x1b[2Habc\n\r----------"},
      {"scrolls a single row by drawing it again", kErases,
       [](Screen& s) {
         std::string out = s.Scroll(2, 2, {'-', kPage});
         return out + s.Draw();
       },
       "\x1b[2H----------"},
      {"looks only at rows changed since the last drawing",
       {},
       [](Screen& s) {
         s.wanted.Write({1, 1}, "unclaimed", kPage);
         return s.Draw();
       },
       ""},
  };
  for (const ByteCase& c : cases) {
    DrawnScreen screen(c.capabilities);
    EXPECT_EQ(c.change(screen), c.expected) << c.what;
  }
}

// The colours a terminal shows for a PC attribute, as SGR parameters.
TerminalModel::ModelCell Expected(const Cell& cell) {
  constexpr int kTerminalColour[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  return {GlyphCodePoint(cell.character),
          ((cell.attribute & 0x08) != 0 ? 90 : 30) + kTerminalColour[cell.attribute & 7],
          40 + kTerminalColour[(cell.attribute >> 4) & 7]};
}

TEST(TerminalRenderer, ATerminalShowsTheWantedCellsAndCursorAfterEveryChange) {
  // Random writes, clears, scrolls and cursor moves, as the console unit makes
  // them, carried out by a model terminal of each kind, one whose scrolls bring
  // rows in in its own colours; after each one every claimed cell shows what is
  // wanted (a blank's foreground only under the cursor, which a terminal may
  // draw in it) and the cursor stands where it should.
  const uint8_t attributes[] = {0x70, 0x78, 0x07, 0x1E};
  const std::string_view texts[] = {"ab", " ", "x  y", "\xe1rv\xedz", "   ", "0123456789"};
  // Sets as terminals declare them: bce with and without rep, neither, late
  // wrap; and the sets that leave out what the renderer would otherwise use.
  constexpr RightMargin kLate = RightMargin::kWrapsLate;
  const TerminalCapabilities kinds[] = {
      {},
      {.erasesInCurrentColour = true, .repeatsCharacter = true},
      {.erasesInCurrentColour = true, .rightMargin = kLate},
      {.rightMargin = kLate},
      {.repeatsCharacter = true, .rightMargin = kLate, .lineFeedReturns = true},
      {.erasesInCurrentColour = true, .lineFeedReturns = true},
      {.rightMargin = RightMargin::kWrapsAtOnce},
      {.erasesInCurrentColour = true, .brightColours = false},
      {.erasesInCurrentColour = true, .rightMargin = RightMargin::kStays},
      {.movesRelatively = false, .setsScrollRegion = false, .scrollsUpByCount = false},
      {.erasesInCurrentColour = true, .scrollsUpByCount = false, .lineFeedReturns = true},
  };
  for (const TerminalCapabilities& kind : kinds) {
    for (unsigned seed = 0; seed < 40; ++seed) {
      std::mt19937 random(seed);
      const auto pick = [&random](int from, int to) {
        return std::uniform_int_distribution<int>(from, to)(random);
      };
      Screen screen(kind);
      TerminalModel terminal(kWidth, kHeight, kind, false);
      // Where writing it would scroll, the bottom-right cell shows only what an erase puts there.
      const bool cornerUnwritable = kind.rightMargin == RightMargin::kWrapsAtOnce;
      std::vector<bool> claimed(kWidth * kHeight, false);
      const auto claim = [&claimed](Rect area) {
        for (int y = area.top; y <= std::min(area.bottom, kHeight); ++y)
          for (int x = area.left; x <= std::min(area.right, kWidth); ++x)
            claimed[static_cast<size_t>((y - 1) * kWidth + x - 1)] = true;
      };
      for (int step = 0; step < 30; ++step) {
        const uint8_t attribute = attributes[pick(0, 3)];
        const Point at{pick(1, kWidth), pick(1, kHeight)};
        std::string out;
        switch (pick(0, 3)) {
          case 0: {
            const std::string_view text = texts[pick(0, 5)];
            screen.Write(at, text, attribute);
            claim({at.x, at.y, at.x + static_cast<int>(text.size()) - 1, at.y});
            break;
          }
          case 1: {
            const Rect area = pick(0, 1) == 0
                                  ? kWholeScreen
                                  : Rect{at.x, at.y, pick(at.x, kWidth), pick(at.y, kHeight)};
            screen.Fill(area, Cell{' ', attribute});
            claim(area);
            break;
          }
          case 2: {
            // The device draws what is pending, then the rows move on both sides.
            const int top = pick(1, kHeight);
            const int bottom = pick(top, kHeight);
            out = screen.Draw();
            out += screen.Scroll(top, bottom, Cell{' ', attribute});
            std::move(claimed.begin() + top * kWidth, claimed.begin() + bottom * kWidth,
                      claimed.begin() + (top - 1) * kWidth);
            claim({1, bottom, kWidth, bottom});
            break;
          }
          default:
            break;
        }
        out += screen.Draw();
        const Point cursor{pick(1, kWidth), pick(1, kHeight)};
        out += screen.Place(cursor);
        out += screen.ShowCursorCell();
        terminal.Feed(out);
        ASSERT_EQ(terminal.Errors(), "") << "seed " << seed;
        ASSERT_EQ(terminal.Cursor(), cursor) << "seed " << seed << " step " << step;
        for (int y = 1; y <= kHeight; ++y)
          for (int x = 1; x <= kWidth; ++x)
            if (claimed[static_cast<size_t>((y - 1) * kWidth + x - 1)] &&
                !(cornerUnwritable && x == kWidth && y == kHeight)) {
              TerminalModel::ModelCell expected = Expected(screen.wanted.At({x, y}));
              if (expected.glyph == U' ' && Point{x, y} != cursor)
                expected.foreground = terminal.At({x, y}).foreground;
              ASSERT_EQ(terminal.At({x, y}), expected)
                  << "seed " << seed << " step " << step << " (" << x << ", " << y << ") erases "
                  << kind.erasesInCurrentColour << " line feed returns " << kind.lineFeedReturns
                  << " repeats " << kind.repeatsCharacter << " kind " << (&kind - kinds);
            }
      }
    }
  }
}

TEST(TerminalRenderer, SendsARunOfBlanksAsOneBlankAndARepeatWhereTheTerminalRepeats) {
  // On a wider screen, twelve blanks inside a row.
  constexpr int kWide = 30;
  const struct {
    TerminalCapabilities capabilities;
    const char* expected;
  } cases[] = {
      {{.erasesInCurrentColour = true, .repeatsCharacter = true}, "\x1b[Ha \x1b[11bb"},
      {{.erasesInCurrentColour = true}, "\x1b[Ha            b"},
  };
  for (const auto& c : cases) {
    DrawnScreen screen(c.capabilities, kWide);
    screen.Write({1, 1}, "a            b");
    EXPECT_EQ(screen.Draw(), c.expected);
  }
}

TEST(TerminalRenderer, EmitsNothingBeforeAnythingChanges) {
  Screen screen;
  EXPECT_EQ(screen.Draw(), "");
}

TEST(TerminalRenderer, LeavesTheTerminalsOwnTextUntilCellsAreClaimed) {
  Screen screen;
  screen.wanted.Write({3, 2}, "ab", 0x07);
  EXPECT_EQ(screen.Draw(), "");
  screen.renderer.Claim({3, 2, 4, 2});
  EXPECT_EQ(screen.Draw(), "\x1b[2;3H\x1b[0;37;40mab");
  EXPECT_EQ(screen.Draw(), "");
  EXPECT_EQ(screen.Place({5, 2}), "");
}

TEST(TerminalRenderer, DrawsAClaimedClearEvenWhenItMatchesTheStartingGridButErasesNoForeignCell) {
  // Clearing in light gray on black writes the cells the grid starts with;
  // the terminal still shows its own text there, so they must be drawn; the
  // rest of the row is the terminal's own and no erase may touch it.
  Screen screen(kErases);
  screen.Fill({1, 1, 5, 1}, Cell{});
  EXPECT_EQ(screen.Draw(), "\x1b[H\x1b[0;37;40m     ");
}

TEST(TerminalRenderer, ChangesColoursOnlyWhereTheyChangeAndOnlyThePartThatChanges) {
  DrawnScreen screen;
  screen.Write({1, 1}, "a", kPage);
  screen.Write({2, 1}, "b", 0x74);   // foreground red
  screen.Write({3, 1}, "cd", 0x14);  // background blue
  screen.Write({5, 1}, "e", 0x79);   // both
  EXPECT_EQ(screen.Draw(), "\x1b[Ha\x1b[31mb\x1b[44mcd\x1b[94;47me");
}

struct ColourCase {
  uint8_t attribute;
  const char* rendition;
};

TEST(TerminalRenderer, MapsPcColourNumbersOntoTerminalColours) {
  const ColourCase cases[] = {
      {0x07, "\x1b[0;37;40m"}, {0x70, "\x1b[0;30;47m"}, {0x78, "\x1b[0;90;47m"},
      {0x1E, "\x1b[0;93;44m"}, {0x21, "\x1b[0;34;42m"}, {0x36, "\x1b[0;33;46m"},
      {0x4C, "\x1b[0;91;41m"}, {0x5B, "\x1b[0;96;45m"}, {0x6D, "\x1b[0;95;43m"},
      {0x0F, "\x1b[0;97;40m"}, {0x0A, "\x1b[0;92;40m"}, {0x08, "\x1b[0;90;40m"},
      {0x9F, "\x1b[0;97;44m"},  // bit 7 looks like nothing of its own
  };
  for (const ColourCase& c : cases) {
    Screen screen;
    screen.Write({1, 1}, "x", c.attribute);
    EXPECT_EQ(screen.Draw(), std::string("\x1b[H") + c.rendition + "x")
        << "attribute " << int{c.attribute};
  }
}

TEST(TerminalRenderer, GivesTheBrightForegroundByBoldWhereOnlyEightColoursAreDeclared) {
  Screen screen({.brightColours = false});
  screen.Write({1, 1}, "a", 0x78);
  screen.Write({2, 1}, "b", 0x70);
  screen.Write({3, 1}, "c", 0x7F);
  EXPECT_EQ(screen.Draw(), "\x1b[H\x1b[0;1;30;47ma\x1b[22;30mb\x1b[1;37mc");
}

TEST(TerminalRenderer, ShowsWindows1250BytesAndControlBytesAsGlyphs) {
  DrawnScreen screen;
  screen.Write({1, 1}, "\x01\x09\x0d\xe1\xfb\x8a\x81\x7f");
  EXPECT_EQ(screen.Draw(), "\x1b[H\u263A\u25CB\u266A\u00E1\u0171\u0160\uFFFD\u2302");
}

TEST(TerminalRenderer, PlacesTheCursorOnlyWhenItIsNotAlreadyThere) {
  DrawnScreen screen;
  EXPECT_EQ(screen.Place({4, 3}), "\x1b[3;4H");
  EXPECT_EQ(screen.Place({4, 3}), "");
  screen.Write({4, 3}, "ab");
  EXPECT_EQ(screen.Draw(), "ab");
  EXPECT_EQ(screen.Place({6, 3}), "");
  EXPECT_EQ(screen.Place({99, 99}), "\n\x1b[4C");
}

TEST(TerminalRenderer, ScrollMovesTheTerminalsOwnTextAndClaimsOnlyTheNewRow) {
  Screen screen(kErases);
  EXPECT_EQ(screen.Scroll(1, kHeight, Cell{}), "\x1b[S");
  screen.renderer.Claim({1, 1, 1, 1});
  EXPECT_EQ(screen.Draw(), "\x1b[H\x1b[0;37;40m \x1b[4H\x1b[J");
}

TEST(TerminalRenderer, FormatsCursorMovesWithoutAllocating) {
  char out[TerminalRenderer::kMaxCursorMove];
  const int length = TerminalRenderer::FormatCursorMove({123, 45}, out);
  EXPECT_EQ(std::string(out, static_cast<size_t>(length)), "\x1b[45;123H");
}

}  // namespace
