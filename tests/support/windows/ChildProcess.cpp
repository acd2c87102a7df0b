#include "support/ChildProcess.h"

#include <windows.h>

#include <atomic>

namespace testing_support {

namespace {

using namespace std::chrono_literals;

// `argument` quoted for the child's command line as the C run-time splits it:
// backslashes are literal except before a double quote.
std::string Quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + '"';
}

SECURITY_ATTRIBUTES Inheritable() {
  return {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
}

// A pipe whose reading end waits with a time limit (overlapped) and whose
// writing end the child inherits; false when it cannot be made.
bool MakePipe(HANDLE& readEnd, HANDLE& writeEnd) {
  static std::atomic<int> count{0};
  const std::string name = "\\\\.\\pipe\\child-output-" + std::to_string(GetCurrentProcessId()) +
                           "-" + std::to_string(count++);
  readEnd = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED,
                             PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
  if (readEnd == INVALID_HANDLE_VALUE) return false;
  SECURITY_ATTRIBUTES inheritable = Inheritable();
  writeEnd = CreateFileA(name.c_str(), GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  return writeEnd != INVALID_HANDLE_VALUE;
}

// Ctrl+C reaches every process on the console, the test's own too, which ignores it.
BOOL WINAPI IgnoreControlC(DWORD event) {
  return event == CTRL_C_EVENT;
}

}  // namespace

struct ChildProcess::Handles {
  HANDLE process = nullptr;
  HANDLE job = nullptr;  // the child and every process it starts
  HANDLE stream = INVALID_HANDLE_VALUE;
  HANDLE input = INVALID_HANDLE_VALUE;  // the child's standard input, on the console's streams
  OVERLAPPED reading{};
  bool pending = false;  // a read started and not yet complete
  char buffer[4096];
};

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, ChildStreams streams,
                           const std::string& folder)
    : handles_(std::make_unique<Handles>()) {
  started_ = Clock::now();
  std::string commandLine;
  for (const std::string& argument : arguments)
    commandLine += (commandLine.empty() ? "" : " ") + Quoted(argument);
  HANDLE writeEnd = INVALID_HANDLE_VALUE;
  handles_->reading.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!MakePipe(handles_->stream, writeEnd)) {
    open_ = false;
    return;
  }
  SECURITY_ATTRIBUTES inheritable = Inheritable();
  HANDLE nothing =
      CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  &inheritable, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nothing;
  startup.hStdOutput = streams == ChildStreams::kErrors ? nothing : writeEnd;
  startup.hStdError = streams == ChildStreams::kOutput ? nothing : writeEnd;
  HANDLE inputEnd = INVALID_HANDLE_VALUE;
  if (streams == ChildStreams::kTerminal) {
    // A console to share, when the test has none.
    AllocConsole();
    if (CreatePipe(&inputEnd, &handles_->input, &inheritable, 0)) {
      SetHandleInformation(handles_->input, HANDLE_FLAG_INHERIT, 0);
      startup.hStdInput = inputEnd;
    }
  }
  PROCESS_INFORMATION process{};
  // Started held, so that it is in its job before it can start another.
  if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    handles_->process = process.hProcess;
    pid_ = process.dwProcessId;
    handles_->job = CreateJobObjectA(nullptr, nullptr);
    if (handles_->job != nullptr && !AssignProcessToJobObject(handles_->job, process.hProcess)) {
      CloseHandle(handles_->job);
      handles_->job = nullptr;
    }
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
  }
  // The child holds the writing end now: the pipe closes when it ends.
  CloseHandle(writeEnd);
  CloseHandle(nothing);
  if (inputEnd != INVALID_HANDLE_VALUE) CloseHandle(inputEnd);
  if (!Started()) open_ = false;
}

ChildProcess::~ChildProcess() {
  Handles& handles = *handles_;
  if (Started() && !reaped_) {
    if (handles.job == nullptr || !TerminateJobObject(handles.job, 1))
      TerminateProcess(handles.process, 1);
    WaitForSingleObject(handles.process, 1000);
  }
  if (handles.pending) {
    CancelIo(handles.stream);
    DWORD count = 0;
    GetOverlappedResult(handles.stream, &handles.reading, &count, TRUE);
  }
  for (HANDLE handle : {handles.process, handles.job, handles.reading.hEvent})
    if (handle != nullptr) CloseHandle(handle);
  for (HANDLE handle : {handles.stream, handles.input})
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
}

bool ChildProcess::Send(std::string_view bytes) {
  DWORD written = 0;
  return WriteFile(handles_->input, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) &&
         written == bytes.size();
}

bool ChildProcess::Interrupt() {
  static const bool ignoring = SetConsoleCtrlHandler(IgnoreControlC, TRUE);
  return ignoring && GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
}

bool ChildProcess::ReadPiece(std::chrono::milliseconds wait) {
  Handles& handles = *handles_;
  if (!handles.pending) {
    if (!ReadFile(handles.stream, handles.buffer, sizeof handles.buffer, nullptr,
                  &handles.reading) &&
        GetLastError() != ERROR_IO_PENDING) {
      // The child's side is closed: nothing more will come.
      open_ = false;
      return false;
    }
    handles.pending = true;
  }
  if (WaitForSingleObject(handles.reading.hEvent, static_cast<DWORD>(wait.count())) !=
      WAIT_OBJECT_0)
    return false;
  handles.pending = false;
  DWORD count = 0;
  if (!GetOverlappedResult(handles.stream, &handles.reading, &count, FALSE)) {
    open_ = false;
    return false;
  }
  if (count == 0) return false;
  output_.append(handles.buffer, count);
  OnOutput();
  return true;
}

std::optional<int> ChildProcess::WaitExit(std::chrono::milliseconds limit) {
  const Clock::time_point deadline = Clock::now() + limit;
  while (Started() && !reaped_) {
    if (WaitForSingleObject(handles_->process, 0) == WAIT_OBJECT_0) {
      reaped_ = true;
      // What the child wrote last may still be unread.
      while (open_ && Clock::now() < deadline && ReadPiece(20ms)) {
      }
      DWORD code = 0;
      if (!GetExitCodeProcess(handles_->process, &code)) return std::nullopt;
      return static_cast<int>(code);
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return std::nullopt;
    if (open_)
      ReadPiece(std::min<std::chrono::milliseconds>(left, 10ms));
    else
      WaitForSingleObject(handles_->process, static_cast<DWORD>(left.count()));
  }
  return std::nullopt;
}

}  // namespace testing_support
