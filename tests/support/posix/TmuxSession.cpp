#include "TmuxSession.h"

#include <unistd.h>

#include <atomic>
#include <cctype>
#include <sstream>

#include "runtime/Win1250.h"
#include "support/ChildProcess.h"
#include "support/WaitUntil.h"

namespace testing_support {

namespace {

std::string UniqueSocketName() {
  static std::atomic<int> counter = 0;
  return "reszmatrix-e2e-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

// Decodes one UTF-8 character at `text[i]` and advances `i` past it.
char32_t DecodeUtf8(std::string_view text, size_t& i) {
  const auto lead = static_cast<uint8_t>(text[i++]);
  const int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  char32_t codePoint = extra == 0 ? lead : lead & (0x3F >> extra);
  for (int k = 0; k < extra && i < text.size(); ++k)
    codePoint = (codePoint << 6) | (static_cast<uint8_t>(text[i++]) & 0x3F);
  return codePoint;
}

// Applies the parameters of one graphic rendition sequence to the colours.
void ApplyRendition(const std::vector<int>& parameters, ScreenCell& colours) {
  if (parameters.empty()) colours = ScreenCell{};
  for (size_t i = 0; i < parameters.size(); ++i) {
    const int p = parameters[i];
    int* target = nullptr;
    if (p == 38 || p == 48) {
      target = p == 38 ? &colours.foreground : &colours.background;
      if (i + 2 < parameters.size() && parameters[i + 1] == 5) {
        *target = parameters[i + 2];
        i += 2;
      } else if (i + 4 < parameters.size() && parameters[i + 1] == 2) {
        *target =
            kDirectColour | (parameters[i + 2] << 16 | parameters[i + 3] << 8 | parameters[i + 4]);
        i += 4;
      }
    } else if (p == 0) {
      colours.foreground = colours.background = kDefaultColour;
    } else if (p >= 30 && p <= 37) {
      colours.foreground = p - 30;
    } else if (p == 39) {
      colours.foreground = kDefaultColour;
    } else if (p >= 40 && p <= 47) {
      colours.background = p - 40;
    } else if (p == 49) {
      colours.background = kDefaultColour;
    } else if (p >= 90 && p <= 97) {
      colours.foreground = p - 90 + 8;
    } else if (p >= 100 && p <= 107) {
      colours.background = p - 100 + 8;
    }
  }
}

}  // namespace

Screen::Screen(int width, int height)
    : width_(width), height_(height), cells_(static_cast<size_t>(width * height)) {}

const ScreenCell& Screen::At(int x, int y) const {
  return cells_.at(static_cast<size_t>((y - 1) * width_ + (x - 1)));
}
ScreenCell& Screen::At(int x, int y) {
  return cells_.at(static_cast<size_t>((y - 1) * width_ + (x - 1)));
}

std::string Screen::RowText(int y, int left, int right) const {
  if (right == 0) right = width_;
  std::string text;
  char bytes[4];
  for (int x = left; x <= right; ++x)
    text.append(bytes, static_cast<size_t>(EncodeUtf8(At(x, y).character, bytes)));
  return text;
}

Screen ParseCapture(std::string_view capture, int width, int height) {
  Screen screen(width, height);
  ScreenCell colours;
  int x = 1;
  int y = 1;
  size_t i = 0;
  while (i < capture.size() && y <= height) {
    const char byte = capture[i];
    if (byte == '\x1b' && i + 1 < capture.size() && capture[i + 1] == '[') {
      i += 2;
      std::vector<int> parameters;
      int value = 0;
      bool any = false;
      while (i < capture.size() && (std::isdigit(static_cast<unsigned char>(capture[i])) ||
                                    capture[i] == ';' || capture[i] == ':')) {
        if (capture[i] == ';' || capture[i] == ':') {
          parameters.push_back(value);
          value = 0;
          any = false;
        } else {
          value = value * 10 + (capture[i] - '0');
          any = true;
        }
        ++i;
      }
      if (any || !parameters.empty()) parameters.push_back(value);
      if (i < capture.size() && capture[i] == 'm') ApplyRendition(parameters, colours);
      ++i;  // the final byte
    } else if (byte == '\n') {
      ++i;
      ++y;
      x = 1;
    } else {
      const char32_t character = DecodeUtf8(capture, i);
      if (x <= width) {
        ScreenCell& cell = screen.At(x, y);
        cell = colours;
        cell.character = character;
      }
      ++x;
    }
  }
  return screen;
}

bool HasSetting(const std::string& modes, const std::string& setting) {
  std::istringstream words(modes);
  std::string word;
  while (words >> word)
    if (word == setting) return true;
  return false;
}

TmuxSession::TmuxSession(const std::string& command, int width, int height)
    : socket_(UniqueSocketName()), width_(width), height_(height) {
  // The shell records the status itself: tmux does not always learn it. Its
  // Ctrl+C trap only keeps it alive to do so; the command gets the signal as usual.
  // Renamed into place, so that a reader never sees half a number.
  const std::string status = statusFolder_.Path() + "/status";
  const std::string wrapped = "trap true INT; " + command + "; echo $? > '" + status +
                              ".tmp' && mv '" + status + ".tmp' '" + status + "'";
  // The options come first, so that the command starts in a pane of its final size.
  Tmux({"set", "-g", "status", "off", ";", "set", "-g", "remain-on-exit", "on", ";", "new-session",
        "-d", "-x", std::to_string(width), "-y", std::to_string(height), wrapped});
}

TmuxSession::~TmuxSession() {
  Tmux({"kill-server"});
}

std::string TmuxSession::Tmux(const std::vector<std::string>& arguments) {
  std::vector<std::string> command{TMUX_PROGRAM, "-L", socket_, "-f", "/dev/null"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  const ChildRun run = RunChild(command, ChildStreams::kOutput);
  return run.status == 0 ? run.output : std::string();
}

void TmuxSession::SendKeys(const std::vector<std::string>& keys) {
  std::vector<std::string> arguments{"send-keys"};
  arguments.insert(arguments.end(), keys.begin(), keys.end());
  Tmux(arguments);
}

void TmuxSession::SendText(const std::string& text) {
  Tmux({"send-keys", "-l", text});
}

void TmuxSession::SendBytes(std::string_view bytes) {
  std::vector<std::string> arguments{"send-keys", "-H"};
  static constexpr char kHex[] = "0123456789abcdef";
  for (char byte : bytes) {
    const auto value = static_cast<uint8_t>(byte);
    arguments.push_back(std::string{kHex[value >> 4], kHex[value & 15]});
  }
  Tmux(arguments);
}

std::string TmuxSession::Display(const std::string& format) {
  std::string value = Tmux({"display-message", "-p", format});
  while (!value.empty() && value.back() == '\n') value.pop_back();
  return value;
}

std::string TmuxSession::Text() {
  return Tmux({"capture-pane", "-p"});
}

Screen TmuxSession::Capture() {
  return ParseCapture(Tmux({"capture-pane", "-p", "-e", "-N"}), width_, height_);
}

std::pair<int, int> TmuxSession::Cursor() {
  const std::string position = Display("#{cursor_x} #{cursor_y}");
  const size_t space = position.find(' ');
  if (space == std::string::npos) return {0, 0};
  return {std::stoi(position.substr(0, space)) + 1, std::stoi(position.substr(space + 1)) + 1};
}

std::string TmuxSession::TerminalPath() {
  return Display("#{pane_tty}");
}

void TmuxSession::Resize(int width, int height) {
  width_ = width;
  height_ = height;
  Tmux({"resize-window", "-x", std::to_string(width), "-y", std::to_string(height)});
}

bool TmuxSession::WaitForText(std::string_view utf8, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return Text().find(utf8) != std::string::npos; }, timeout);
}

bool TmuxSession::WaitForScreen(const std::function<bool(const Screen&)>& done,
                                std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return done(Capture()); }, timeout);
}

std::optional<int> TmuxSession::WaitForExit(std::chrono::milliseconds timeout) {
  const std::optional<std::string> status = statusFolder_.WaitForFile("status", timeout);
  if (!status) return std::nullopt;
  return std::stoi(*status);
}

}  // namespace testing_support
