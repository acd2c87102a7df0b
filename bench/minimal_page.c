/* The floor the whole-run benchmark measures the program's start against: a
   minimal C program that sets the terminal's keyboard modes, pauses as long as
   the program does before its first page, writes one screen with the title,
   and ends at the first key with the terminal restored. */
#include <string.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

static const char kScreen[] =
    "\x1b[H\x1b[0;30;47m\x1b[J"
    "                   Legnagyobb összegű részmátrix keresése -- beolvasás\r\n";

int main(void) {
  struct termios saved;
  const int terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
  struct termios keyboard = saved;
  keyboard.c_lflag &= ~(tcflag_t)(ICANON | ECHO | IEXTEN);
  keyboard.c_iflag &= ~(tcflag_t)(IXON | ICRNL);
  if (terminal) tcsetattr(STDIN_FILENO, TCSANOW, &keyboard);
  const struct timespec pause = {0, 100000000L};
  nanosleep(&pause, NULL);
  if (write(STDOUT_FILENO, kScreen, strlen(kScreen)) < 0) return 1;
  char key = 0;
  if (read(STDIN_FILENO, &key, 1) < 0) key = 0;
  if (terminal) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  return 0;
}
