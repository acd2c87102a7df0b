// The peer the whole-run benchmark measures the program against: the same
// dialogue written with ncurses, drawing the same three pages in the same
// colours, refreshing after every output statement and before every key read.
// It asks for a file name, shows the matrix, its partial sums and the
// submatrix with the largest sum, each page ending at a key.
#include <curses.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kMaxSize = 9;
constexpr short kPagePair = 1;  // black on light gray
constexpr short kHighPair = 2;  // dark gray on light gray
constexpr short kBrightBlack = 8;
constexpr char kTitle[] = "Legnagyobb összegű részmátrix keresése";
constexpr char kDefaultName[] = "3x4_1,1x3,3";

using Matrix = int[kMaxSize + 1][kMaxSize + 1];

struct Corners {
  int top, left, bottom, right;
};

// The characters of UTF-8 text, for right-aligning it.
int Length(const std::string& text) {
  int count = 0;
  for (unsigned char byte : text) count += (byte & 0xC0) != 0x80;
  return count;
}

// One output statement: the text goes on the screen at once.
void Say(const std::string& text) {
  addstr(text.c_str());
  refresh();
}

void SayNumber(int value, int width) {
  printw("%*d", width, value);
  refresh();
}

// Where only eight colours are declared, bold gives the bright one.
void HighVideo() {
  attrset(COLOR_PAIR(kHighPair) | (COLORS > kBrightBlack ? A_NORMAL : A_BOLD));
}

void LowVideo() {
  attrset(COLOR_PAIR(kPagePair));
}

void WaitForKey() {
  refresh();
  getch();
}

// A new page after a pause, its title centred on the first row.
void NewPage(const std::string& title, int pauseMilliseconds) {
  LowVideo();
  napms(pauseMilliseconds);
  erase();
  refresh();
  const int width = Length(title) / 2 + 40;
  Say(std::string(static_cast<size_t>(width - Length(title)), ' ') + title + "\n");
}

// The rows and columns of `corners` with their numbers, then a key.
void ShowMatrix(const Corners& corners, const Matrix& matrix) {
  Say("\n");
  HighVideo();
  Say("    ");
  for (int j = corners.left; j <= corners.right; ++j) SayNumber(j, 4);
  Say("\n");
  LowVideo();
  for (int i = corners.top; i <= corners.bottom; ++i) {
    HighVideo();
    SayNumber(i, 4);
    LowVideo();
    for (int j = corners.left; j <= corners.right; ++j) SayNumber(matrix[i][j], 4);
    Say("\n");
  }
  Say("\n");
  WaitForKey();
}

// Reads a line with echo; Enter ends it.
std::string ReadLine() {
  std::string line;
  for (;;) {
    refresh();
    const int key = getch();
    if (key == '\r' || key == '\n' || key == ERR) break;
    if ((key == KEY_BACKSPACE || key == 8 || key == 127) && !line.empty()) {
      line.pop_back();
      Say("\b \b");
    } else if (key >= ' ' && key < 256) {
      line += static_cast<char>(key);
      Say(std::string(1, static_cast<char>(key)));
    }
  }
  Say("\n");
  return line;
}

}  // namespace

int main() {
  setlocale(LC_ALL, "C.UTF-8");
  initscr();
  cbreak();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  scrollok(stdscr, TRUE);
  idlok(stdscr, TRUE);
  start_color();
  use_default_colors();
  init_pair(kPagePair, COLOR_BLACK, COLOR_WHITE);
  init_pair(kHighPair, COLORS > kBrightBlack ? kBrightBlack : COLOR_BLACK, COLOR_WHITE);
  bkgdset(COLOR_PAIR(kPagePair) | ' ');

  NewPage(std::string(kTitle) + " -- beolvasás", 100);
  FILE* file = nullptr;
  std::string name;
  while (file == nullptr) {
    Say(std::string("Fájlnév (*.dat, opcionális: ") + kDefaultName + "):");
    name = ReadLine();
    if (name.empty()) name = kDefaultName;
    file = fopen((name + ".dat").c_str(), "r");
  }
  int rows = 0, columns = 0;
  Matrix matrix{}, sums{};
  if (fscanf(file, "%d %d", &rows, &columns) != 2 || rows > kMaxSize || columns > kMaxSize)
    rows = columns = 0;
  for (int i = 1; i <= rows; ++i)
    for (int j = 1; j <= columns; ++j)
      if (fscanf(file, "%d", &matrix[i][j]) != 1) matrix[i][j] = 0;
  fclose(file);
  Say("A beolvasás sikerült.\n");
  const Corners whole{1, 1, rows, columns};
  ShowMatrix(whole, matrix);

  for (int i = 1; i <= rows; ++i)
    for (int j = 1; j <= columns; ++j)
      sums[i][j] = sums[i - 1][j] - sums[i - 1][j - 1] + sums[i][j - 1] + matrix[i][j];
  Say("Rész-összegek mátrixa:\n");
  ShowMatrix(whole, sums);
  int best = sums[1][1];
  Corners found{1, 1, 1, 1};
  for (int i = 1; i <= rows; ++i)
    for (int j = 1; j <= columns; ++j)
      for (int k = i; k <= rows; ++k)
        for (int l = j; l <= columns; ++l) {
          const int sum = sums[k][l] - sums[k][j - 1] - sums[i - 1][l] + sums[i - 1][j - 1];
          if (sum > best) {
            best = sum;
            found = Corners{i, j, k, l};
          }
        }

  NewPage(std::string(kTitle) + " -- eredmény:" + name, 200);
  Say("A keresett részmátrix: (" + std::to_string(found.top) + "," + std::to_string(found.left) +
      ")..(" + std::to_string(found.bottom) + "," + std::to_string(found.right) + ")\n");
  Say("A részmátrix összege:" + std::to_string(best) + "\n");
  ShowMatrix(found, matrix);
  endwin();
  return 0;
}
