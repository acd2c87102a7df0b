#include "X11Terminal.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "support/WaitUntil.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ChildProcess;
using testing_support::ChildStreams;

constexpr int kWidth = 80;
constexpr int kHeight = 25;
constexpr auto kTimeout = 10s;
constexpr auto kPollInterval = 100ms;
constexpr auto kDisplayStart = 5s;
const std::string kScreenPrefix = "screen";
const std::string kWindowsImage = "reszmatrix.exe";

// Standard output of `command`, run with the shell.
std::string Capture(const std::string& command) {
  return testing_support::RunChild({"sh", "-c", command}, ChildStreams::kOutput).output;
}

bool Installed(const std::string& program) {
  return testing_support::RunChild({"sh", "-c", "command -v " + program}, ChildStreams::kOutput)
             .status == 0;
}

std::vector<std::string> SplitRows(const std::string& text) {
  std::vector<std::string> rows;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string row = text.substr(start, end - start);
    row.erase(row.find_last_not_of(' ') + 1);
    rows.push_back(row);
    start = end + 1;
  }
  return rows;
}

// The X server the tests share, started at the first use and stopped at exit;
// DISPLAY names it for every program the tests start.
class VirtualDisplay {
 public:
  VirtualDisplay() {
    if (!Installed("Xvfb")) return;
    // Xvfb picks a free display and writes its number to standard output; it
    // keeps its keyboard layout when its last client goes.
    server_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", "1", "-noreset", "-screen", "0",
                                 "1280x1024x24", "-nolisten", "tcp"},
        ChildStreams::kOutput);
    const auto numbered = [this] { return server_->Output().find('\n') != std::string::npos; };
    if (!server_->ReadUntil(numbered, kDisplayStart)) return;
    name_ = ":" + std::to_string(std::atoi(server_->Output().c_str()));
    setenv("DISPLAY", name_.c_str(), 1);
  }

  bool Ready() const { return !name_.empty(); }

 private:
  std::unique_ptr<ChildProcess> server_;
  std::string name_;
};

VirtualDisplay& Display() {
  static VirtualDisplay display;
  return display;
}

// The Windows build that wine's console runs; empty when none is named.
std::string WindowsBuild() {
  const char* build = std::getenv("RESZMATRIX_WINDOWS_BUILD");
  return build != nullptr ? build : "";
}
std::string WindowsProgram() {
  return WindowsBuild() + "/" + kWindowsImage;
}
std::string ConsoleReader() {
  return WindowsBuild() + "/tests/console_text.exe";
}

// Runs the program with the keypad in application mode, TERM set to `term`
// where one is given, keeping the terminal's settings and its answers to the
// mode queries before and after, then the first line typed after it. The answers are read in raw
// mode up to the device attributes' final 'c', or until three seconds pass without a byte. A first
// round of queries lets the terminal finish setting up its side of the pseudo-terminal (VTE turns
// on IUTF8 a moment after the shell starts), so that the settings kept before the run are the
// terminal's own.
std::string RunScript(const TempFolder& folder, const std::string& term) {
  return "cd '" + folder.Path() +
         "'\n"
         "answers() {\n"
         "  saved=$(stty -g)\n"
         "  stty raw -echo min 0 time 30\n"
         "  printf '\\033[?66$p\\033[?1$p\\033[?9001$p\\033[c'\n"
         "  : > answers.tmp\n"
         "  while byte=$(dd bs=1 count=1 2>/dev/null) && [ -n \"$byte\" ]; do\n"
         "    printf '%s' \"$byte\" >> answers.tmp\n"
         "    [ \"$byte\" = c ] && break\n"
         "  done\n"
         "  stty \"$saved\"\n"
         "  mv answers.tmp \"$1\"\n"
         "}\n"
         "answers answers-settling\n"
         "sleep 0.2\n"
         "printf '\\033='\n"
         "stty -g > modes-before\n"
         "answers answers-before\n" +
         (term.empty() ? "" : "TERM='" + term + "' ") +
         "'" RESZMATRIX
         "' 2> err\n"
         "status=$?\n"
         "stty -g > modes-after\n"
         "answers answers-after\n"
         "echo $status > status.tmp && mv status.tmp status\n"
         "IFS= read -r line\n"
         "printf '%s' \"$line\" > line.tmp && mv line.tmp line-after\n"
         "exec sleep 600\n";
}

// The emulator running the program, started with the shell, its cursor steady.
std::vector<std::string> TerminalCommand(Emulator emulator, const TempFolder& folder,
                                         const std::string& socket, const std::string& term) {
  if (emulator == Emulator::kWineConsole) {
    // wineconsole ends with the program's exit status; with no terminal on
    // its standard streams it opens the console as a window. The system code
    // page is the Western one (1252), which lacks some Hungarian letters.
    return {"sh", "-c",
            "cd '" + folder.Path() + "' && LC_ALL=C.UTF-8 wineconsole '" + WindowsProgram() +
                "' < /dev/null > /dev/null 2>&1; echo $? > status.tmp && mv status.tmp status"};
  }
  const std::string script = "sh '" + folder.Write("run.sh", RunScript(folder, term)) + "'";
  // Mesa's software OpenGL draws where there is no graphics card.
  const std::string softwareOpenGl = "exec env LIBGL_ALWAYS_SOFTWARE=1 LC_ALL=C.UTF-8 ";
  if (emulator == Emulator::kKitty) {
    return {"sh", "-c",
            softwareOpenGl +
                "kitty --config NONE -o allow_remote_control=yes -o cursor_blink_interval=0"
                " --listen-on unix:" +
                socket + " -o initial_window_width=" + std::to_string(kWidth) +
                "c -o initial_window_height=" + std::to_string(kHeight) +
                "c -o remember_window_size=no -o enable_audio_bell=no " + script +
                " > /dev/null 2>&1"};
  }
  const std::string size = std::to_string(kWidth) + "x" + std::to_string(kHeight);
  const std::string utf8 = "exec env LC_ALL=C.UTF-8 ";
  switch (emulator) {
    case Emulator::kUrxvt:
      return {"sh", "-c", utf8 + "urxvt -geometry " + size + " -e " + script + " > /dev/null 2>&1"};
    case Emulator::kSt:
      return {"sh", "-c", utf8 + "st -g " + size + " -e " + script + " > /dev/null 2>&1"};
    case Emulator::kAlacritty:
      return {"sh", "-c",
              softwareOpenGl + "alacritty --config-file /dev/null -o window.dimensions.columns=" +
                  std::to_string(kWidth) +
                  " -o window.dimensions.lines=" + std::to_string(kHeight) +
                  " -o cursor.blinking=Never -e " + script + " > /dev/null 2>&1"};
    case Emulator::kMlterm:
      return {"sh", "-c",
              utf8 + "mlterm --blink=false --sb=false -g " + size + " -e " + script +
                  " > /dev/null 2>&1"};
    case Emulator::kSakura:
      // Its settings file goes into the test's folder, not the user's.
      return {"sh", "-c",
              utf8 + "XDG_CONFIG_HOME='" + folder.Path() + "' sakura -c " + std::to_string(kWidth) +
                  " -r " + std::to_string(kHeight) + " -x \"" + script + "\" > /dev/null 2>&1"};
    case Emulator::kScreen: {
      // Without its start-up message, which waits for a key.
      const std::string settings = folder.Write("screenrc", "startup_message off\n");
      return {"sh", "-c",
              utf8 + "xterm -geometry " + size + " -e screen -c '" + settings + "' " + script +
                  " > /dev/null 2>&1"};
    }
    default:
      break;
  }
  // F12 prints the screen, as plain text, to a new file in the folder.
  return {"sh", "-c",
          utf8 + "xterm -u8 -geometry " + size +
              " -xrm 'XTerm*printFileImmediate: " + folder.Path() + "/" + kScreenPrefix +
              "' -xrm 'XTerm*printAttributes: 0'"
              " -xrm 'XTerm*VT100.translations: #override <Key>F12: print-immediate()'"
              " -e " +
              script + " > /dev/null 2>&1"};
}

// Polls `condition` until it holds; false after the time limit.
bool WaitUntil(const std::function<bool()>& condition) {
  return testing_support::WaitUntil(condition, kTimeout, kPollInterval);
}

}  // namespace

std::string EmulatorName(Emulator emulator) {
  switch (emulator) {
    case Emulator::kKitty:
      return "kitty";
    case Emulator::kXterm:
      return "xterm";
    case Emulator::kUrxvt:
      return "urxvt";
    case Emulator::kSt:
      return "st";
    case Emulator::kSakura:
      return "sakura";
    case Emulator::kAlacritty:
      return "alacritty";
    case Emulator::kMlterm:
      return "mlterm";
    case Emulator::kScreen:
      return "screen";
    case Emulator::kWineConsole:
      break;
  }
  return "wineconsole";
}

std::string X11Terminal::Missing(Emulator emulator) {
  std::vector<std::string> programs = {"Xvfb", "xdotool", "setxkbmap"};
  if (emulator == Emulator::kScreen) programs.push_back("xterm");
  if (emulator != Emulator::kWineConsole)
    programs.insert(programs.end(), {EmulatorName(emulator), "import"});
  if (emulator == Emulator::kWineConsole) programs.insert(programs.end(), {"wine", "wineconsole"});
  for (const std::string& needed : programs)
    if (!Installed(needed)) return needed + " is not installed";
  if (emulator == Emulator::kWineConsole) {
    if (std::getenv("WINEPREFIX") == nullptr) return "WINEPREFIX names no wine prefix";
    if (WindowsBuild().empty()) return "RESZMATRIX_WINDOWS_BUILD names no Windows build";
    for (const std::string& needed : {WindowsProgram(), ConsoleReader()})
      if (!std::filesystem::exists(needed)) return needed + " is not built";
  }
  if (!Display().Ready()) return "no X server could start (Xvfb)";
  return "";
}

X11Terminal::X11Terminal(Emulator emulator, const TempFolder& folder, const std::string& layout,
                         const std::string& term)
    : emulator_(emulator),
      folder_(folder),
      socket_(folder.Path() + "/kitty.socket"),
      terminal_(TerminalCommand(emulator, folder, socket_, term), ChildStreams::kOutput) {
  // wine's windows carry the process id of its console host, not the shell's.
  const std::string windows =
      emulator == Emulator::kWineConsole
          ? Run("search --sync --onlyvisible --name '" + kWindowsImage + "$'")
          : Run("search --sync --onlyvisible --pid " + std::to_string(terminal_.Pid()));
  window_ = windows.substr(0, windows.find('\n'));
  if (window_.empty()) return;
  Run("windowfocus --sync " + window_);
  // The layout of the one keyboard the display has; asked again until it holds.
  started_ = WaitUntil([&] {
    Capture("setxkbmap " + layout + " 2>/dev/null");
    return Capture("setxkbmap -query").find("layout:     " + layout + "\n") != std::string::npos;
  });
}

std::string X11Terminal::Run(const std::string& arguments) const {
  return Capture("timeout 10 xdotool " + arguments + " 2>/dev/null");
}

void X11Terminal::Key(const std::vector<std::string>& keys) {
  std::string command = "key --delay 40";
  for (const std::string& key : keys) command += " " + key;
  Run(command);
}

void X11Terminal::KeyWith(const std::string& modifier, const std::vector<std::string>& keys) {
  std::string command = "keydown " + modifier + " key --delay 40";
  for (const std::string& key : keys) command += " " + key;
  Run(command + " keyup " + modifier);
}

void X11Terminal::Type(const std::string& text) {
  Run("type --delay 40 '" + text + "'");
}

std::vector<std::string> X11Terminal::PrintedRows() {
  namespace fs = std::filesystem;
  Key({"F12"});
  std::vector<std::string> rows;
  WaitUntil([&] {
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_.Path())) {
      if (!entry.path().filename().string().starts_with(kScreenPrefix)) continue;
      rows = SplitRows(testing_support::ReadWholeFile(entry.path().string()));
      fs::remove(entry.path());
      return true;
    }
    return false;
  });
  return rows;
}

std::vector<std::string> X11Terminal::ConsoleRows() const {
  return SplitRows(Capture("wine '" + ConsoleReader() + "' " + kWindowsImage + " 2>/dev/null"));
}

std::vector<std::string> X11Terminal::Rows() {
  if (emulator_ == Emulator::kXterm) return PrintedRows();
  if (emulator_ == Emulator::kWineConsole) return ConsoleRows();
  if (emulator_ == Emulator::kKitty) return SplitRows(KittyText(""));
  return {};
}

std::string X11Terminal::KittyText(const std::string& options) const {
  return Capture("kitty @ --to unix:" + socket_ + " get-text " + options + " 2>/dev/null");
}

testing_support::Screen X11Terminal::KittyCells() {
  return testing_support::ParseCapture(KittyText("--ansi"), kWidth, kHeight);
}

Picture X11Terminal::TakePicture() const {
  // A binary PPM: "P6", the width, the height and the largest value, each
  // after one blank, then the pixels.
  const std::string ppm = Capture("import -window " + window_ + " -depth 8 ppm:- 2>/dev/null");
  Picture picture;
  int largest = 0;
  int header = 0;
  if (sscanf(ppm.c_str(), "P6 %d %d %d%n", &picture.width, &picture.height, &largest, &header) !=
          3 ||
      largest != 255)
    return {};
  picture.rgb = ppm.substr(static_cast<size_t>(header) + 1);
  if (picture.rgb.size() != static_cast<size_t>(picture.width) * picture.height * 3) return {};
  return picture;
}

Picture X11Terminal::SettledPicture(const Picture& before) {
  constexpr auto kSettling = 300ms;
  Picture last = TakePicture();
  Picture settled;
  WaitUntil([&] {
    std::this_thread::sleep_for(kSettling);
    Picture next = TakePicture();
    const bool same = !next.rgb.empty() && next == last && next != before;
    last = std::move(next);
    if (same) settled = last;
    return same;
  });
  return settled;
}

std::string X11Terminal::Row(int row) {
  const std::vector<std::string> rows = Rows();
  return static_cast<int>(rows.size()) >= row ? rows[row - 1] : "";
}

bool X11Terminal::WaitForRow(int row, const std::string& text) {
  return WaitUntil([&] { return Row(row) == text; });
}

std::string X11Terminal::Text() {
  std::string text;
  for (const std::string& row : Rows()) text += row + "\n";
  return text;
}

bool X11Terminal::WaitForProgramStart() {
  return folder_.WaitForFile("answers-before").has_value();
}

std::optional<int> X11Terminal::WaitForEnd() {
  const std::optional<std::string> status = folder_.WaitForFile("status");
  if (!status) return std::nullopt;
  return std::stoi(*status);
}

std::optional<std::string> X11Terminal::LineAfterEnd() {
  return folder_.WaitForFile("line-after");
}
