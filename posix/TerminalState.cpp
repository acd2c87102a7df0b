#include "TerminalState.h"

#include <errno.h>
#include <unistd.h>

#include "runtime/posix/WholeCalls.h"

TerminalState::Change* TerminalState::Record(Kind kind) {
  const int count = changeCount_;
  if (restored_ || count == kMaxChanges) return nullptr;
  changes_[count].kind = kind;
  return &changes_[count];
}

bool TerminalState::ChangeSettings(termios (*change)(termios)) {
  if (tcgetattr(inputFd_, &savedSettings_) != 0) return false;
  changedSettings_ = change(savedSettings_);
  if (Record(Kind::kSettings) == nullptr) return false;
  ++changeCount_;
  tcsetattr(inputFd_, TCSANOW, &changedSettings_);
  return true;
}

void TerminalState::Switch(std::string_view on, std::string_view off) {
  Change* change = Record(Kind::kSequence);
  if (change == nullptr) return;
  change->on = on;
  change->off = off;
  ++changeCount_;
  WriteAll(outputFd_, on);
}

void TerminalState::Handle(int signal, const struct sigaction& action) {
  Change* change = Record(Kind::kHandler);
  if (change == nullptr) return;
  change->signal = signal;
  sigaction(signal, nullptr, &change->previous);
  ++changeCount_;
  sigaction(signal, &action, nullptr);
}

void TerminalState::Undo(bool handlersToo) {
  const int savedErrno = errno;
  for (int i = changeCount_ - 1; i >= 0; --i) {
    const Change& change = changes_[i];
    switch (change.kind) {
      case Kind::kSettings:
        if (held_) tcsetattr(inputFd_, TCSANOW, &savedSettings_);
        break;
      case Kind::kSequence:
        if (held_) WriteAll(outputFd_, change.off);
        break;
      case Kind::kHandler:
        if (handlersToo) sigaction(change.signal, &change.previous, nullptr);
        break;
    }
  }
  held_ = false;
  errno = savedErrno;
}

void TerminalState::Release() {
  if (!restored_) Undo(false);
}

void TerminalState::Retake() {
  if (restored_ || held_) return;
  held_ = true;
  const int count = changeCount_;
  for (int i = 0; i < count; ++i) {
    const Change& change = changes_[i];
    if (change.kind == Kind::kSettings) tcsetattr(inputFd_, TCSANOW, &changedSettings_);
    if (change.kind == Kind::kSequence) WriteAll(outputFd_, change.on);
  }
}

void TerminalState::Restore() {
  if (restored_.exchange(true)) return;
  Undo(true);
}
