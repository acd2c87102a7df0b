// Measures whole runs on a pseudo-terminal of 80 by 25 cells: the file name
// "9x9" and a key for each of the three waits are typed, each once the program
// waits, which is taken to be when its output has gone quiet for longer than
// its longest pause. For each run it prints the bytes written to the
// terminal, the processor time, the peak memory (VmHWM at the last wait), and the time from the
// start to the first drawing of the reading page's title, less the 100 ms pause that comes before
// it. The program runs next to its peers in the same run: the same dialogue written with ncurses
// (when built), and for the start a minimal C program that sets the keyboard modes and writes one
// screen. Like a terminal, it answers the request for the primary device attributes (as a VT220
// with colours, which takes up none of the newer keyboard protocols the program asks about), except
// in the runs of a silent terminal. Then, for each terminal type of a list, the program and its
// ncurses peer run in turn and their bytes are compared, with the screens at the four waits (the
// file-name prompt and the three key waits) as the model terminal shows them, carrying out what
// the type's terminfo entry declares. Last, what each capability the renderer may use saves on
// each type: the program runs again under a copy of the type's entry without that capability.
#include <poll.h>
#include <pty.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "posix/Terminfo.h"
#include "support/TerminalModel.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Longer than the program's pauses (100 ms and 200 ms) before a page.
constexpr milliseconds kQuiet{400};
constexpr milliseconds kRunLimit{30000};
constexpr milliseconds kPauseBeforeFirstPage{100};
constexpr char kTitleStart[] = "Legnagyobb";
constexpr const char* kKeys[] = {"9x9\r", " ", " ", " "};
constexpr char kDeviceAttributesRequest[] = "\x1b[c";      // DA1: what terminal are you
constexpr char kDeviceAttributesReply[] = "\x1b[?62;22c";  // VT220 level, ANSI colour
constexpr int kWidth = 80;
constexpr int kHeight = 25;
// A taller terminal, where the pages' window is a band of rows that scrolls alone.
constexpr int kTallHeight = 30;

// The terminal types compared with the peer.
constexpr const char* kComparedTerms[] = {"xterm-256color",
                                          "tmux-256color",
                                          "screen-256color",
                                          "screen",
                                          "rxvt-unicode-256color",
                                          "st-256color",
                                          "alacritty",
                                          "vte-256color",
                                          "konsole-256color",
                                          "putty-256color",
                                          "linux",
                                          "xterm-kitty",
                                          "foot"};

// The capabilities whose saving is measured, each as the terminfo names that
// declare it: an entry without any of them lacks the capability.
struct Capability {
  const char* label;
  std::vector<const char*> names;
};
const Capability kCapabilities[] = {
    {"bce", {"bce"}}, {"rep", {"rep"}},   {"relative", {"cuf", "cub", "cuu", "cud", "cub1"}},
    {"csr", {"csr"}}, {"indn", {"indn"}},
};

using ModelScreen = std::vector<TerminalModel::ModelCell>;

ModelScreen Snapshot(const TerminalModel& model) {
  ModelScreen cells;
  for (int y = 1; y <= kHeight; ++y)
    for (int x = 1; x <= kWidth; ++x) cells.push_back(model.At({x, y}));
  return cells;
}

struct Output {
  bool answers = true;             // whether the terminal answers the device-attributes request
  TerminalModel* model = nullptr;  // where the bytes are carried out, if anywhere
  size_t bytes = 0;
  std::string text;
  Clock::time_point titleDrawn{};
  bool titleSeen = false;
  bool attributesAnswered = false;
};

// Reads the program's output until it has been quiet for kQuiet or the
// terminal closes; false once it has closed.
bool ReadUntilQuiet(int master, Output& output) {
  char buffer[4096];
  for (;;) {
    pollfd entry{master, POLLIN, 0};
    const int ready = poll(&entry, 1, static_cast<int>(kQuiet.count()));
    if (ready == 0) return true;
    if (ready < 0) return false;
    const ssize_t count = read(master, buffer, sizeof buffer);
    if (count <= 0) return false;
    output.bytes += static_cast<size_t>(count);
    if (output.model != nullptr)
      output.model->Feed(std::string_view(buffer, static_cast<size_t>(count)));
    if (!output.titleSeen) {
      output.text.append(buffer, static_cast<size_t>(count));
      if (output.answers && !output.attributesAnswered &&
          output.text.find(kDeviceAttributesRequest) != std::string::npos) {
        output.attributesAnswered = true;
        const std::string reply = kDeviceAttributesReply;
        if (write(master, reply.data(), reply.size()) != static_cast<ssize_t>(reply.size()))
          return false;
      }
      if (output.text.find(kTitleStart) != std::string::npos) {
        output.titleSeen = true;
        output.titleDrawn = Clock::now();
      }
    }
  }
}

// The peak resident memory of process `pid` so far (VmHWM), in KiB; 0 when unknown.
long PeakMemory(pid_t pid) {
  FILE* status = fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
  if (status == nullptr) return 0;
  char line[256];
  long peak = 0;
  while (fgets(line, sizeof line, status) != nullptr)
    if (sscanf(line, "VmHWM: %ld kB", &peak) == 1) break;
  fclose(status);
  return peak;
}

double Seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6;
}

struct Run {
  const char* label;
  std::string program;
  const char* term;
  bool answers;
  std::string terminfo = {};  // a folder of entries searched first, if any
  int height = kHeight;
};

struct Figures {
  int status = -1;
  size_t bytes = 0;
  double cpuMilliseconds = 0;
  long peakKib = 0;
  std::optional<double> firstPageMilliseconds;
  std::vector<ModelScreen> screens;  // at each wait, where a model was given
};

// Runs `run` through the whole dialogue, carrying its output out on `model` when given.
std::optional<Figures> Measure(const Run& run, const std::string& samples,
                               TerminalModel* model = nullptr) {
  winsize size{};
  size.ws_col = kWidth;
  size.ws_row = static_cast<unsigned short>(run.height);
  int master = -1;
  const Clock::time_point start = Clock::now();
  const pid_t child = forkpty(&master, nullptr, nullptr, &size);
  if (child < 0) {
    perror("forkpty");
    return std::nullopt;
  }
  if (child == 0) {
    setenv("TERM", run.term, 1);
    if (!run.terminfo.empty()) setenv("TERMINFO", run.terminfo.c_str(), 1);
    if (chdir(samples.c_str()) != 0) _exit(126);
    execl(run.program.c_str(), run.program.c_str(), nullptr);
    _exit(127);
  }

  Output output;
  output.answers = run.answers;
  output.model = model;
  Figures figures;
  bool open = ReadUntilQuiet(master, output);
  for (const char* key : kKeys) {
    if (!open || Clock::now() - start > kRunLimit) break;
    // Read at each wait: after the end the process and its figures are gone.
    figures.peakKib = std::max(figures.peakKib, PeakMemory(child));
    if (model != nullptr) figures.screens.push_back(Snapshot(*model));
    const std::string bytes = key;
    if (write(master, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) break;
    open = ReadUntilQuiet(master, output);
  }

  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) {
    perror("wait4");
    return std::nullopt;
  }
  close(master);

  figures.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  figures.bytes = output.bytes;
  figures.cpuMilliseconds = (Seconds(usage.ru_utime) + Seconds(usage.ru_stime)) * 1000;
  if (output.titleSeen) {
    const auto toTitle =
        std::chrono::duration_cast<std::chrono::microseconds>(output.titleDrawn - start) -
        kPauseBeforeFirstPage;
    figures.firstPageMilliseconds = toTitle.count() / 1000.0;
  }
  return figures;
}

// Runs `run` and prints one line of its figures; false when it did not end normally.
bool Report(const Run& run, const std::string& samples) {
  const std::optional<Figures> figures = Measure(run, samples);
  if (!figures) return false;
  printf("%-16s %-8s %-14s %6d %7zu %8.1f %10ld", run.term, run.answers ? "answers" : "silent",
         run.label, figures->status, figures->bytes, figures->cpuMilliseconds, figures->peakKib);
  if (figures->firstPageMilliseconds)
    printf(" %12.1f\n", *figures->firstPageMilliseconds);
  else
    printf(" %12s\n", "never");
  return figures->status == 0;
}

// The cells in which two series of screens differ, at every wait, the first
// of them described in `first`; -1 when they were not taken at the same number
// of waits. A blank's foreground shows nowhere but under a cursor, and is not compared.
int DifferingCells(const std::vector<ModelScreen>& ours, const std::vector<ModelScreen>& peers,
                   std::string& first) {
  if (ours.size() != peers.size()) return -1;
  int differing = 0;
  for (size_t wait = 0; wait < ours.size(); ++wait)
    for (size_t cell = 0; cell < ours[wait].size(); ++cell) {
      const TerminalModel::ModelCell& our = ours[wait][cell];
      TerminalModel::ModelCell peer = peers[wait][cell];
      if (peer.glyph == U' ') peer.foreground = our.foreground;
      if (our == peer) continue;
      if (differing++ == 0)
        first = "wait " + std::to_string(wait + 1) + " row " + std::to_string(cell / kWidth + 1) +
                " column " + std::to_string(cell % kWidth + 1) + ": colours " +
                std::to_string(our.foreground) + ";" + std::to_string(our.background) +
                " against " + std::to_string(peer.foreground) + ";" +
                std::to_string(peer.background) +
                (our.glyph == peer.glyph ? ", the same glyph" : ", another glyph");
    }
  return differing;
}

// Runs the program and the peer on terminal type `term` and prints their
// bytes side by side, with whether their screens at the waits are the same.
bool Compare(const char* term, const std::string& program, const std::string& peer,
             const std::string& samples) {
  setenv("TERM", term, 1);
  TerminalCapabilities capabilities = DescribeTerminal(STDIN_FILENO).capabilities;
  // The bytes are read as the terminal gets them, after the driver's line ends.
  capabilities.lineFeedReturns = false;
  TerminalModel ours(kWidth, kHeight, capabilities);
  TerminalModel peers(kWidth, kHeight, capabilities);
  const std::optional<Figures> ourFigures = Measure({"", program, term, true}, samples, &ours);
  const std::optional<Figures> peerFigures = Measure({"", peer, term, true}, samples, &peers);
  if (!ourFigures || !peerFigures) return false;
  std::string first;
  const int differing = DifferingCells(ourFigures->screens, peerFigures->screens, first);
  const double ratio =
      static_cast<double>(ourFigures->bytes) / static_cast<double>(peerFigures->bytes);
  printf("%-22s %7zu %7zu %6.2f  %-12s %zu/%zu\n", term, ourFigures->bytes, peerFigures->bytes,
         ratio, differing == 0 ? "same" : (std::to_string(differing) + " cells").c_str(),
         std::count(ours.Errors().begin(), ours.Errors().end(), '\n'),
         std::count(peers.Errors().begin(), peers.Errors().end(), '\n'));
  if (differing != 0) printf("    first: %s\n", first.c_str());
  return ourFigures->status == 0 && differing == 0;
}

// Writes into `folder` a copy of `term`'s entry without the terminfo names of
// `capability`; false when the entry declares none of them.
bool WriteEntryWithout(const char* term, const Capability& capability, const std::string& folder) {
  const std::string entry = folder + "/entry";
  std::string names;
  for (const char* name : capability.names) names += std::string(names.empty() ? "" : "|") + name;
  const std::string command = "infocmp -1 -x " + std::string(term) + " > " + entry +
                              ".whole && grep -v -E '^\\s(" + names + ")[,=#@]' " + entry +
                              ".whole > " + entry + " ; ! cmp -s " + entry + " " + entry +
                              ".whole && tic -x -o " + folder + " " + entry + " 2>/dev/null";
  return system(command.c_str()) == 0;
}

// Runs the program on `term`, `height` rows tall, as its entry is and once
// without each capability the entry declares, and prints what each saves ("-"
// where it is not declared).
bool PrintSavings(const char* term, int height, const std::string& program,
                  const std::string& samples) {
  const std::optional<Figures> whole = Measure({"", program, term, true, "", height}, samples);
  if (!whole) return false;
  printf("%-22s %7zu", term, whole->bytes);
  bool ok = whole->status == 0;
  for (const Capability& capability : kCapabilities) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("whole_run." + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::optional<Figures> without;
    if (WriteEntryWithout(term, capability, folder.string()))
      without = Measure({"", program, term, true, folder.string(), height}, samples);
    std::filesystem::remove_all(folder);
    if (!without) {
      printf(" %9s", "-");
      continue;
    }
    ok = ok && without->status == 0;
    printf(" %9lld", static_cast<long long>(without->bytes) - static_cast<long long>(whole->bytes));
  }
  printf("\n");
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string program = argc > 1 ? argv[1] : RESZMATRIX;
  const std::string samples = argc > 2 ? argv[2] : SAMPLES_DIR;
  const std::string peer = NCURSES_PEER;
  const std::string floor = MINIMAL_PAGE;

  std::vector<Run> runs;
  for (const char* term : {"xterm-256color", "tmux-256color"}) {
    runs.push_back({"reszmatrix", program, term, true});
    if (!peer.empty()) runs.push_back({"ncurses peer", peer, term, true});
    runs.push_back({"minimal C", floor, term, true});
    runs.push_back({"reszmatrix", program, term, false});
    runs.push_back({"minimal C", floor, term, false});
  }
  printf("%-16s %-8s %-14s %6s %7s %8s %10s %12s\n", "TERM", "terminal", "program", "status",
         "bytes", "CPU ms", "VmHWM KiB", "first page");
  bool ok = true;
  // The first run of all starts slower, whichever program it is: one run
  // of the minimal program goes first, unprinted.
  Measure(runs.back(), samples);
  for (const Run& run : runs) ok = Report(run, samples) && ok;
  printf("(first page: ms from the start to the title, less the 100 ms pause)\n");
  if (peer.empty()) return ok ? 0 : 1;

  printf("\n%-22s %7s %7s %6s  %-12s %s\n", "TERM", "bytes", "peer", "ratio", "screens",
         "model errors");
  for (const char* term : kComparedTerms) ok = Compare(term, program, peer, samples) && ok;
  printf("(screens: at the four waits, in the model terminal of the type's terminfo entry)\n");

  for (const int height : {kHeight, kTallHeight}) {
    printf("\n%-22s %7s", ("TERM, " + std::to_string(height) + " rows").c_str(), "bytes");
    for (const Capability& capability : kCapabilities) printf(" %9s", capability.label);
    printf("\n");
    for (const char* term : kComparedTerms) ok = PrintSavings(term, height, program, samples) && ok;
  }
  printf(
      "(the bytes each capability saves: the run under the entry without it, less the whole\n"
      " entry's; - where the entry does not declare it)\n");
  return ok ? 0 : 1;
}
