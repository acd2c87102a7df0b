// Checks of a page as the pane shows it: the text of its rows and the colours
// a person sees (black text and dark gray indices on a light gray page).
#pragma once

#include <string>
#include <vector>

#include "support/posix/TmuxSession.h"

using testing_support::Screen;
using testing_support::ScreenCell;

/// The terminal's colour numbers for the PC colours the pages use; tmux shows
/// PC dark gray as bright black.
inline constexpr int kBlack = 0;
inline constexpr int kLightGray = 7;
inline constexpr int kDarkGray = 8;

/// Row `y` of `screen` as UTF-8, trailing blanks removed.
std::string TrimmedRow(const Screen& screen, int y);

/// Expects rows 1, 2, ... of `screen` to read `rows` (trailing blanks removed)
/// and every row below them to be blank.
void ExpectRows(const Screen& screen, const std::vector<std::string>& rows);

/// Expects every cell of `screen` on a light gray background.
void ExpectPageBackground(const Screen& screen);

/// Expects every character but a blank from row `top` to row `bottom` in black.
void ExpectBlackText(const Screen& screen, int top, int bottom);

/// Expects a matrix display whose header stands on row `headerRow`, followed by
/// `rowCount` rows: the header and the row numbers (columns 1-4) in dark gray,
/// the elements in black.
void ExpectMatrixColours(const Screen& screen, int headerRow, int rowCount);
