#include <gtest/gtest.h>

#include <string>

#include "terminal/TerminalRenderer.h"

namespace {

constexpr int kWidth = 10;
constexpr int kHeight = 4;
constexpr Rect kWholeScreen{1, 1, kWidth, kHeight};

std::string Draw(TerminalRenderer& renderer, const CellGrid& wanted) {
  std::string out;
  renderer.DrawCells(wanted, out);
  return out;
}

std::string Place(TerminalRenderer& renderer, Point cursor) {
  std::string out;
  renderer.PlaceCursor(cursor, out);
  return out;
}

// A renderer that has drawn `wanted` over the whole screen once, so that
// further output shows only what changes after.
struct DrawnScreen {
  CellGrid wanted{kWidth, kHeight, Cell{'.', 0x70}};
  TerminalRenderer renderer{kWidth, kHeight};
  DrawnScreen() {
    renderer.Claim(kWholeScreen);
    Draw(renderer, wanted);
  }
};

TEST(TerminalRenderer, EmitsNothingBeforeAnythingChanges) {
  CellGrid wanted(kWidth, kHeight);
  TerminalRenderer renderer(kWidth, kHeight);
  EXPECT_EQ(Draw(renderer, wanted), "");
}

TEST(TerminalRenderer, MovesTheCursorBeforeTheFirstCellWhereverItStood) {
  TerminalRenderer renderer(kWidth, kHeight);
  EXPECT_EQ(Place(renderer, {1, 1}), "\x1b[1;1H");
  EXPECT_EQ(Place(renderer, {1, 1}), "");
}

TEST(TerminalRenderer, LeavesTheTerminalsOwnTextUntilCellsAreClaimed) {
  CellGrid wanted(kWidth, kHeight);
  TerminalRenderer renderer(kWidth, kHeight);
  wanted.Write({3, 2}, "ab", 0x07);
  EXPECT_EQ(Draw(renderer, wanted), "");
  renderer.Claim({3, 2, 4, 2});
  EXPECT_EQ(Draw(renderer, wanted), "\x1b[2;3H\x1b[0;37;40mab");
  EXPECT_EQ(Draw(renderer, wanted), "");
}

TEST(TerminalRenderer, DrawsAClaimedClearEvenWhenItMatchesTheStartingGrid) {
  // Clearing in light gray on black writes the cells the grid starts with;
  // the terminal still shows its own text there, so they must be drawn.
  CellGrid wanted(kWidth, kHeight);
  TerminalRenderer renderer(kWidth, kHeight);
  renderer.Claim({1, 1, 3, 1});
  EXPECT_EQ(Draw(renderer, wanted), "\x1b[1;1H\x1b[0;37;40m   ");
}

TEST(TerminalRenderer, DrawsOnlyChangedCellsWithOneCursorMovePerRun) {
  DrawnScreen screen;
  screen.wanted.Write({2, 1}, "xy", 0x70);
  screen.wanted.Write({7, 1}, "z", 0x70);
  screen.wanted.Write({1, 3}, "w", 0x70);
  EXPECT_EQ(Draw(screen.renderer, screen.wanted), "\x1b[1;2Hxy\x1b[1;7Hz\x1b[3;1Hw");
  EXPECT_EQ(Draw(screen.renderer, screen.wanted), "");
}

TEST(TerminalRenderer, ARunContinuesWithoutACursorMove) {
  DrawnScreen screen;
  screen.wanted.Write({4, 2}, "abc", 0x70);
  screen.wanted.Write({7, 2}, "d", 0x70);
  EXPECT_EQ(Draw(screen.renderer, screen.wanted), "\x1b[2;4Habcd");
}

TEST(TerminalRenderer, MovesTheCursorAfterTheLastColumnInsteadOfRelyingOnTheWrap) {
  DrawnScreen screen;
  screen.wanted.Write({9, 1}, "ab", 0x70);
  screen.wanted.Write({1, 2}, "c", 0x70);
  EXPECT_EQ(Draw(screen.renderer, screen.wanted), "\x1b[1;9Hab\x1b[2;1Hc");
}

TEST(TerminalRenderer, ChangesColoursOnlyWhereTheyChangeAndOnlyThePartThatChanges) {
  DrawnScreen screen;  // drawn in 0x70
  screen.wanted.Write({1, 1}, "a", 0x70);
  screen.wanted.Write({2, 1}, "b", 0x74);  // foreground red
  screen.wanted.Write({3, 1}, "c", 0x14);  // background blue
  screen.wanted.Write({4, 1}, "d", 0x14);
  screen.wanted.Write({5, 1}, "e", 0x79);  // both
  EXPECT_EQ(Draw(screen.renderer, screen.wanted), "\x1b[1;1Ha\x1b[31mb\x1b[44mcd\x1b[94;47me");
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
    CellGrid wanted(kWidth, kHeight);
    TerminalRenderer renderer(kWidth, kHeight);
    wanted.Write({1, 1}, "x", c.attribute);
    renderer.Claim({1, 1, 1, 1});
    EXPECT_EQ(Draw(renderer, wanted), std::string("\x1b[1;1H") + c.rendition + "x")
        << "attribute " << int{c.attribute};
  }
}

TEST(TerminalRenderer, ShowsWindows1250BytesAndControlBytesAsGlyphs) {
  DrawnScreen screen;
  screen.wanted.Write({1, 1}, "\x01\x09\x0d\xe1\xfb\x8a\x81\x7f", 0x70);
  EXPECT_EQ(Draw(screen.renderer, screen.wanted),
            "\x1b[1;1H\u263A\u25CB\u266A\u00E1\u0171\u0160\uFFFD\u2302");
}

TEST(TerminalRenderer, PlacesTheCursorOnlyWhenItIsNotAlreadyThere) {
  DrawnScreen screen;
  EXPECT_EQ(Place(screen.renderer, {4, 3}), "\x1b[3;4H");
  EXPECT_EQ(Place(screen.renderer, {4, 3}), "");
  screen.wanted.Write({4, 3}, "ab", 0x70);
  EXPECT_EQ(Draw(screen.renderer, screen.wanted), "ab");
  EXPECT_EQ(Place(screen.renderer, {6, 3}), "");
  EXPECT_EQ(Place(screen.renderer, {99, 99}), "\x1b[4;10H");
}

TEST(TerminalRenderer, ScrollsARowRangeWithTheScrollRegionAndRedrawsOnlyTheNewBottomRow) {
  DrawnScreen screen;
  for (int y = 1; y <= kHeight; ++y) screen.wanted.Write({1, y}, std::string(1, '0' + y), 0x70);
  Draw(screen.renderer, screen.wanted);

  std::string out;
  screen.renderer.ScrollUp(2, 3, out);
  EXPECT_EQ(out, "\x1b[2;3r\x1b[1S\x1b[r");
  screen.wanted.ScrollUp({1, 2, kWidth, 3}, Cell{' ', 0x70});
  // Row 2 now shows row 3's cells on both sides; row 3 is new and drawn whole,
  // from the home position where resetting the region left the cursor.
  EXPECT_EQ(Draw(screen.renderer, screen.wanted), "\x1b[3;1H" + std::string(kWidth, ' '));
  EXPECT_EQ(Place(screen.renderer, {1, 4}), "\x1b[4;1H");
}

TEST(TerminalRenderer, ScrollingTheWholeScreenNeedsNoScrollRegion) {
  DrawnScreen screen;
  std::string out;
  screen.renderer.ScrollUp(1, kHeight, out);
  EXPECT_EQ(out, "\x1b[1S");
  screen.wanted.ScrollUp(kWholeScreen, Cell{'-', 0x70});
  EXPECT_EQ(Draw(screen.renderer, screen.wanted), "\x1b[4;1H" + std::string(kWidth, '-'));
}

TEST(TerminalRenderer, ScrollingOneRowOnlyRedrawsIt) {
  DrawnScreen screen;
  std::string out;
  screen.renderer.ScrollUp(2, 2, out);
  EXPECT_EQ(out, "");
  EXPECT_EQ(Draw(screen.renderer, screen.wanted), "\x1b[2;1H" + std::string(kWidth, '.'));
}

TEST(TerminalRenderer, ScrollMovesTheTerminalsOwnTextWithoutClaimingIt) {
  CellGrid wanted(kWidth, kHeight);
  TerminalRenderer renderer(kWidth, kHeight);
  std::string out;
  renderer.ScrollUp(1, kHeight, out);
  wanted.ScrollUp(kWholeScreen, Cell{});
  EXPECT_EQ(Draw(renderer, wanted), "\x1b[4;1H\x1b[0;37;40m" + std::string(kWidth, ' '));
}

TEST(TerminalRenderer, ResetRedrawsOnlyWhatIsClaimedAgainAndSetsColoursAfresh) {
  DrawnScreen screen;
  screen.renderer.Reset(3, 2);
  CellGrid wanted(3, 2, Cell{'#', 0x70});
  EXPECT_EQ(Draw(screen.renderer, wanted), "");
  screen.renderer.Claim({1, 1, 2, 2});
  EXPECT_EQ(Draw(screen.renderer, wanted), "\x1b[1;1H\x1b[0;30;47m##\x1b[2;1H##");
  EXPECT_EQ(Place(screen.renderer, {1, 1}), "\x1b[1;1H");
}

TEST(TerminalRenderer, FormatsCursorMovesWithoutAllocating) {
  char out[TerminalRenderer::kMaxCursorMove];
  const int length = TerminalRenderer::FormatCursorMove({123, 45}, out);
  EXPECT_EQ(std::string(out, static_cast<size_t>(length)), "\x1b[45;123H");
}

}  // namespace
