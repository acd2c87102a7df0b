#include "TerminalDevice.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "runtime/posix/WholeCalls.h"

namespace {

// The terminal's type, which tells the Linux console's keypad from xterm's.
std::string_view TermName() {
  const char* term = getenv("TERM");
  return term != nullptr ? term : "";
}

constexpr std::string_view kKeypadApplication = "\x1b=";  // keypad keys send their own sequences
constexpr std::string_view kKeypadNumeric = "\x1b>";      // the keypad back to plain digits
constexpr std::string_view kResetRendition = "\x1b[0m";   // the shell's text uncoloured again
constexpr Point kNowhere{0, 0};

volatile sig_atomic_t resizeSignalled = 0;

void OnWindowChange(int) {
  resizeSignalled = 1;
}

// The terminal's size in cells; kNowhere when it cannot tell.
Point TerminalSize(int fd) {
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) return kNowhere;
  return Point{size.ws_col, size.ws_row};
}

// What the renderer may rely on: the terminal type's erase, the driver's line ends.
TerminalTraits Traits(int fd) {
  TerminalTraits traits = TerminalTraits::ForTerm(TermName());
  termios settings{};
  traits.lineFeedReturns = tcgetattr(fd, &settings) == 0 && (settings.c_oflag & OPOST) != 0 &&
                           (settings.c_oflag & ONLCR) != 0;
  return traits;
}

termios KeyboardSettings(termios settings) {
  // Bytes arrive one by one and unechoed, Ctrl+S and Ctrl+Q are keys, and
  // Enter (CR) stays apart from Ctrl+J (LF).
  settings.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
  settings.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR);
  // Ctrl+C still interrupts; Ctrl+Z and Ctrl+\ arrive as keys.
  settings.c_cc[VSUSP] = _POSIX_VDISABLE;
  settings.c_cc[VQUIT] = _POSIX_VDISABLE;
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  return settings;
}

}  // namespace

TerminalDevice::TerminalDevice(int inputFd, int outputFd)
    : inputFd_(inputFd),
      outputFd_(outputFd),
      input_(inputFd, VariantForTerm(TermName())),
      grid_(kStandardWidth, kStandardHeight),
      renderer_(kStandardWidth, kStandardHeight) {}

void TerminalDevice::Start() {
  isTerminal_ = isatty(outputFd_) == 1;
  if (isTerminal_) {
    const Point size = TerminalSize(outputFd_);
    if (size != kNowhere) grid_ = CellGrid(size.x, size.y);
    renderer_ = TerminalRenderer(grid_.Width(), grid_.Height(), Traits(outputFd_));
    if (isatty(inputFd_) == 1 && tcgetattr(inputFd_, &savedSettings_) == 0) {
      settingsSaved_ = true;
      const termios keyboard = KeyboardSettings(savedSettings_);
      tcsetattr(inputFd_, TCSANOW, &keyboard);
      // Asked only now that nothing is echoed, so the answers never show; they
      // are taken while the program goes on.
      if (KeyboardNegotiation::WorthAsking(TermName()))
        input_.StartNegotiation([this](std::string_view bytes) { WriteAll(outputFd_, bytes); });
    }
    WriteAll(outputFd_, kKeypadApplication);
    // Restarting keeps reads and writes whole across a resize; the wait's
    // ppoll is never restarted, so it wakes for the redraw.
    struct sigaction action {};
    action.sa_handler = OnWindowChange;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGWINCH, &action, nullptr);
  }
  // Keys that do not come from a terminal in raw mode come as lines of text.
  if (!settingsSaved_) input_.TakeLinesOfText();
  started_ = true;
}

void TerminalDevice::Shutdown() {
  if (!started_.exchange(false)) return;
  const int savedErrno = errno;
  if (!pendingChanging_) {
    const size_t written = pendingWritten_;
    if (written < pending_.size()) {
      WriteAll(outputFd_, std::string_view(pending_).substr(written));
      char move[TerminalRenderer::kMaxCursorMove];
      const int length = TerminalRenderer::FormatCursorMove(cursor_, move);
      WriteAll(outputFd_, std::string_view(move, static_cast<size_t>(length)));
    }
  }
  WriteAll(outputFd_, kResetRendition);
  if (isTerminal_) WriteAll(outputFd_, kKeypadNumeric);
  WriteAll(outputFd_, KeyboardNegotiation::RestoreSequence(input_.Protocol()));
  if (settingsSaved_) tcsetattr(inputFd_, TCSANOW, &savedSettings_);
  errno = savedErrno;
}

void TerminalDevice::TakeResize() {
  if (resizeSignalled == 0) return;
  resizeSignalled = 0;
  Point size = TerminalSize(outputFd_);
  if (size == kNowhere) size = Point{grid_.Width(), grid_.Height()};
  grid_.Resize(size.x, size.y);
  renderer_.Reset(size.x, size.y);
  cursor_ = Point{std::min(cursor_.x, size.x), std::min(cursor_.y, size.y)};
  placedCursor_ = kNowhere;
  // What was prepared for the old size is drawn again from the grid.
  pendingChanging_ = true;
  pending_.clear();
  pendingWritten_ = 0;
  pendingChanging_ = false;
}

Point TerminalDevice::GridSize() {
  TakeResize();
  return Point{grid_.Width(), grid_.Height()};
}

Rect TerminalDevice::VisibleArea() {
  TakeResize();
  return Rect{1, 1, grid_.Width(), grid_.Height()};
}

void TerminalDevice::WriteCells(Point at, std::string_view bytes, uint8_t attribute) {
  if (bytes.empty()) return;
  grid_.Write(at, bytes, attribute);
  renderer_.Claim(Rect{at.x, at.y, at.x + static_cast<int>(bytes.size()) - 1, at.y});
}

void TerminalDevice::FillRect(Rect area, Cell fill) {
  grid_.Fill(area, fill);
  renderer_.Claim(area);
}

void TerminalDevice::ScrollUp(Rect area, Cell fill) {
  if (area.left <= 1 && area.right >= grid_.Width()) {
    // The terminal scrolls the rows itself; what was written into them before
    // must be on the terminal first so that it moves with them.
    pendingChanging_ = true;
    renderer_.DrawCells(grid_, pending_);
    renderer_.ScrollUp(area.top, area.bottom, fill, pending_);
    pendingChanging_ = false;
    grid_.ScrollUp(area, fill);
  } else {
    grid_.ScrollUp(area, fill);
    renderer_.Claim(area);
  }
}

void TerminalDevice::Present() {
  // After Shutdown the terminal is the shell's again, in its own colours.
  if (!started_) return;
  TakeResize();
  pendingChanging_ = true;
  renderer_.DrawCells(grid_, pending_);
  if (!pending_.empty() || cursor_ != placedCursor_) renderer_.PlaceCursor(cursor_, pending_);
  pendingChanging_ = false;
  placedCursor_ = cursor_;
  WritePending();
}

void TerminalDevice::WritePending() {
  WriteAll(outputFd_, pending_, &pendingWritten_);
  pendingChanging_ = true;
  pending_.clear();
  pendingWritten_ = 0;
  pendingChanging_ = false;
}

void TerminalDevice::WaitForEvent() {
  // SIGWINCH is held back between the look at the flag and the sleep, and let
  // through only inside ppoll, so a resize cannot slip in between unseen.
  sigset_t windowChange;
  sigset_t previous;
  sigemptyset(&windowChange);
  sigaddset(&windowChange, SIGWINCH);
  pthread_sigmask(SIG_BLOCK, &windowChange, &previous);
  if (resizeSignalled == 0) {
    pollfd ready{input_.Fd(), POLLIN, 0};
    const int timeout = input_.TimeoutMilliseconds();
    const timespec limit{timeout / 1000, (timeout % 1000) * 1000000L};
    sigset_t duringWait = previous;
    sigdelset(&duringWait, SIGWINCH);
    ppoll(&ready, 1, timeout < 0 ? nullptr : &limit, &duringWait);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (resizeSignalled != 0) Present();
}

void TerminalDevice::Sleep(uint32_t milliseconds) {
  // The start-up answers are taken as they come, so that the keyboard's
  // reporting is settled early and never holds the pause up.
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
  const auto left = [end] {
    return std::max<int64_t>(
        std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count(), 0);
  };
  while (input_.Negotiating() && left() > 0) {
    pollfd ready{input_.Fd(), POLLIN, 0};
    poll(&ready, 1, static_cast<int>(std::min<int64_t>(left(), input_.AnswerWaitMilliseconds())));
    input_.TakeAnswers();
  }
  SleepMilliseconds(static_cast<uint32_t>(left()));
}
