#include "TerminalDevice.h"

#include <errno.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>

#include "runtime/FatalError.h"
#include "runtime/posix/WholeCalls.h"

namespace {

constexpr std::string_view kResetRendition = "\x1b[0m";  // the shell's text uncoloured again
constexpr Point kNowhere{0, 0};

// What the signals for the terminal asked; taken in the program's own flow,
// where no sequence is half written.
volatile sig_atomic_t resizeSignalled = 0;
volatile sig_atomic_t stopSignalled = 0;
volatile sig_atomic_t continueSignalled = 0;

void OnWindowChange(int) {
  resizeSignalled = 1;
}
void OnStop(int) {
  stopSignalled = 1;
}
void OnContinue(int) {
  continueSignalled = 1;
}

bool Signalled() {
  return resizeSignalled != 0 || stopSignalled != 0 || continueSignalled != 0;
}

constexpr int kTerminalSignals[] = {SIGWINCH, SIGTSTP, SIGCONT};

// The terminal's size in cells, within the grid's bound; kNowhere when it cannot tell.
Point TerminalSize(int fd) {
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) return kNowhere;
  return Point{std::min<int>(size.ws_col, TerminalDevice::kMaxGridWidth),
               std::min<int>(size.ws_row, TerminalDevice::kMaxGridHeight)};
}

// What the renderer may rely on: what the terminal declares, and the driver's line ends.
TerminalCapabilities WithDriver(TerminalCapabilities capabilities, int fd) {
  termios settings{};
  capabilities.lineFeedReturns = tcgetattr(fd, &settings) == 0 && (settings.c_oflag & OPOST) != 0 &&
                                 (settings.c_oflag & ONLCR) != 0;
  return capabilities;
}

termios KeyboardSettings(termios settings) {
  // Bytes arrive one by one and unechoed, Ctrl+S and Ctrl+Q are keys, and
  // Enter (CR) stays apart from Ctrl+J (LF).
  settings.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
  settings.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR);
  // Ctrl+C still interrupts, without the driver discarding the output queue
  // after the signal, which could take the start of the report with it;
  // Ctrl+Z and Ctrl+\ arrive as keys.
  settings.c_lflag |= NOFLSH;
  settings.c_cc[VSUSP] = _POSIX_VDISABLE;
  settings.c_cc[VQUIT] = _POSIX_VDISABLE;
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  return settings;
}

}  // namespace

TerminalDevice::TerminalDevice(int inputFd, int outputFd, TerminalDescription description)
    : inputFd_(inputFd),
      outputFd_(outputFd),
      asksTerminal_(
          TerminalNegotiation::WorthAsking(description.described, VariantOf(description.keys))),
      input_(inputFd, std::move(description.keys)),
      grid_(kStandardWidth, kStandardHeight),
      renderer_(kStandardWidth, kStandardHeight),
      capabilities_(description.capabilities),
      drawn_(kStandardWidth * kStandardHeight),
      state_(inputFd, outputFd) {}

void TerminalDevice::Start() {
  started_ = true;
  // Every change below is recorded before it is made, so that a signal at any
  // point of the start-up finds the terminal's restore ready.
  state_.Switch("", kResetRendition);
  // Keys that do not come from a terminal in raw mode come as lines of text.
  if (!TakeTerminal()) input_.TakeLinesOfText();
}

bool TerminalDevice::TakeTerminal() {
  if (isatty(outputFd_) != 1) return false;
  const Point size = TerminalSize(outputFd_);
  if (size != kNowhere) {
    grid_ = CellGrid(size.x, size.y);
    drawn_.assign(static_cast<size_t>(size.x * size.y), false);
  }
  renderer_ = TerminalRenderer(grid_.Width(), grid_.Height(), WithDriver(capabilities_, outputFd_));
  // Restarting keeps reads and writes whole; a wait's ppoll is never
  // restarted, so it wakes to take what the signal asked.
  struct sigaction action {};
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  action.sa_handler = OnWindowChange;
  state_.Handle(SIGWINCH, action);
  action.sa_handler = OnStop;
  state_.Handle(SIGTSTP, action);
  action.sa_handler = OnContinue;
  state_.Handle(SIGCONT, action);
  const bool raw = isatty(inputFd_) == 1 && state_.ChangeSettings(KeyboardSettings);
  if (raw && asksTerminal_) {
    // Asked only now that nothing is echoed, so the answers never show; they
    // are taken while the program goes on (TakeAnswers).
    WriteAll(outputFd_, input_.AwaitAnswers(capabilities_));
  } else {
    // A terminal that is not asked cannot say its keypad's mode: numeric
    // mode, its default, is set back at the end.
    state_.Switch(TerminalNegotiation::kKeypadApplication, TerminalNegotiation::kKeypadNumeric);
  }
  return raw;
}

void TerminalDevice::TakeAnswers() {
  const std::optional<TerminalNegotiation> answers = input_.TakeAnswers();
  if (!answers) return;
  // The keypad's application mode and the key reporting the answers chose are
  // turned on, each with its undo recorded first: the mode and reporting as found.
  state_.Switch(TerminalNegotiation::kKeypadApplication, answers->KeypadRestoreSequence());
  const KeyProtocol protocol = answers->Decision();
  state_.Switch(TerminalNegotiation::EnableSequence(protocol), answers->RestoreSequence(protocol));
  // Where the terminal has shown more or less than its description declares,
  // what is on the screen already is drawn again by what it has.
  const TerminalCapabilities capabilities = answers->Capabilities();
  if (capabilities == capabilities_) return;
  capabilities_ = capabilities;
  RedrawAll();
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
  if (state_.Held()) input_.TakeHeldKeysReleases();
  state_.Restore();
  // The handlers are gone: what they asked for is never taken now, and no
  // wait or pause is to wake for it.
  resizeSignalled = 0;
  stopSignalled = 0;
  continueSignalled = 0;
  errno = savedErrno;
}

void TerminalDevice::TakeSignals() {
  bool redraw = false;
  if (stopSignalled != 0) {
    stopSignalled = 0;
    // Once the run is ending the terminal is about to be given back for good,
    // and a stop asked for is dropped; its flag is cleared all the same, so
    // that a wait does not keep waking for it.
    if (!RunEnding()) {
      state_.Release();
      kill(getpid(), SIGSTOP);
    }
  }
  if (continueSignalled != 0) {
    continueSignalled = 0;
    // After a SIGSTOP, which cannot be caught, the terminal was not given back.
    state_.Release();
    state_.Retake();
    redraw = true;
  }
  if (resizeSignalled != 0) {
    resizeSignalled = 0;
    redraw = true;
  }
  if (redraw) RedrawAll();
}

void TerminalDevice::RedrawAll() {
  Point size = TerminalSize(outputFd_);
  if (size == kNowhere) size = Point{renderer_.Width(), renderer_.Height()};
  // The grid is the console's buffer: it grows with the terminal and keeps
  // its cells when the terminal shrinks.
  const int oldWidth = grid_.Width();
  const int oldHeight = grid_.Height();
  const int width = std::max(size.x, oldWidth);
  const int height = std::max(size.y, oldHeight);
  if (width != oldWidth || height != oldHeight) {
    grid_.Resize(width, height);
    std::vector<bool> drawn(static_cast<size_t>(width * height));
    for (int y = 1; y <= oldHeight; ++y)
      for (int x = 1; x <= oldWidth; ++x)
        drawn[static_cast<size_t>((y - 1) * width + x - 1)] = Drawn({x, y}, oldWidth);
    drawn_ = std::move(drawn);
  }
  // Cells the program never drew keep what the terminal shows there.
  renderer_ = TerminalRenderer(size.x, size.y, WithDriver(capabilities_, outputFd_));
  for (int y = 1; y <= std::min(size.y, height); ++y)
    for (int x = 1; x <= std::min(size.x, width); ++x)
      if (Drawn({x, y}, width)) renderer_.Claim(Rect{x, y, x, y});
  placedCursor_ = kNowhere;
  // What was prepared before is drawn again from the grid.
  pendingChanging_ = true;
  pending_.clear();
  pendingWritten_ = 0;
  pendingChanging_ = false;
}

Point TerminalDevice::GridSize() {
  TakeSignals();
  return Point{grid_.Width(), grid_.Height()};
}

Rect TerminalDevice::VisibleArea() {
  TakeSignals();
  return Rect{1, 1, std::min(renderer_.Width(), grid_.Width()),
              std::min(renderer_.Height(), grid_.Height())};
}

void TerminalDevice::Claim(Rect area) {
  renderer_.Claim(area);
  const int width = grid_.Width();
  for (int y = std::max(area.top, 1); y <= std::min(area.bottom, grid_.Height()); ++y)
    for (int x = std::max(area.left, 1); x <= std::min(area.right, width); ++x)
      drawn_[static_cast<size_t>((y - 1) * width + x - 1)] = true;
}

void TerminalDevice::WriteCells(Point at, std::string_view bytes, uint8_t attribute) {
  if (bytes.empty()) return;
  grid_.Write(at, bytes, attribute);
  Claim(Rect{at.x, at.y, at.x + static_cast<int>(bytes.size()) - 1, at.y});
}

void TerminalDevice::FillRect(Rect area, Cell fill) {
  grid_.Fill(area, fill);
  Claim(area);
}

void TerminalDevice::ScrollUp(Rect area, Cell fill) {
  if (area.left <= 1 && area.right >= grid_.Width()) {
    // The terminal scrolls the rows itself; what was written into them before
    // must be on the terminal first so that it moves with them.
    pendingChanging_ = true;
    renderer_.DrawCells(grid_, pending_);
    renderer_.ScrollUp(area.top, area.bottom, pending_);
    pendingChanging_ = false;
    grid_.ScrollUp(area, fill);
  } else {
    grid_.ScrollUp(area, fill);
    Claim(area);
  }
}

void TerminalDevice::Present() {
  // After Shutdown the terminal is the shell's again, in its own colours.
  if (!started_) return;
  TakeSignals();
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

void TerminalDevice::IdleInOwnColours() {
  if (!started_) return;
  pendingChanging_ = true;
  renderer_.ShowCursorCell(pending_);
  renderer_.RestoreColours(pending_);
  pendingChanging_ = false;
  WritePending();
}

void TerminalDevice::Doze(int timeout, bool untilInput) {
  // The terminal's signals are held back between the look at their flags and
  // the sleep, and let through only inside ppoll, so none slips in between unseen.
  sigset_t terminalSignals;
  sigemptyset(&terminalSignals);
  for (int signal : kTerminalSignals) sigaddset(&terminalSignals, signal);
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &terminalSignals, &previous);
  if (!Signalled()) {
    pollfd ready{input_.Fd(), POLLIN, 0};
    const timespec limit{timeout / 1000, (timeout % 1000) * 1000000L};
    sigset_t duringSleep = previous;
    for (int signal : kTerminalSignals) sigdelset(&duringSleep, signal);
    ppoll(&ready, untilInput ? 1 : 0, timeout < 0 ? nullptr : &limit, &duringSleep);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

void TerminalDevice::WaitForEvent() {
  IdleInOwnColours();
  Doze(input_.TimeoutMilliseconds(), true);
  if (Signalled()) Present();
}

void TerminalDevice::Sleep(uint32_t milliseconds) {
  IdleInOwnColours();
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    const int64_t left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) return;
    // The start-up answers are taken as they come, so that the keyboard's
    // reporting is settled early and never holds the pause up.
    const int answers = input_.AnswerWaitMilliseconds();
    const int64_t timeout = answers < 0 ? left : std::min<int64_t>(left, answers);
    Doze(static_cast<int>(std::min<int64_t>(timeout, INT_MAX)), answers >= 0);
    TakeAnswers();
    // A stop is not put off until the pause ends.
    if (Signalled()) {
      Present();
      IdleInOwnColours();
    }
  }
}
