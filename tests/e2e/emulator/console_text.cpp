// Prints, in UTF-8, the rows of the visible window of the console in which
// the program named by the argument (such as reszmatrix.exe) runs, one line a
// row: how the end-to-end tests read wine's console window. Exits with 1 when
// no such program runs or its console cannot be read.
#include <windows.h>
// after windows.h, whose types it uses
#include <tlhelp32.h>

#include <cstdio>
#include <string>

namespace {

// The process id of a running program named `image`; 0 when there is none.
DWORD FindProgram(const char* image) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  for (BOOL more = Process32First(snapshot, &entry); more && found == 0;
       more = Process32Next(snapshot, &entry)) {
    if (_stricmp(entry.szExeFile, image) == 0) found = entry.th32ProcessID;
  }
  CloseHandle(snapshot);
  return found;
}

std::string Utf8(const wchar_t* text, int length) {
  std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr),
                    '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, bytes.data(), static_cast<int>(bytes.size()),
                      nullptr, nullptr);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: console_text PROGRAM.exe\n", stderr);
    return 1;
  }
  // Taken before the console is attached, which may replace it.
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  const DWORD program = FindProgram(argv[1]);
  FreeConsole();
  if (program == 0 || !AttachConsole(program)) {
    std::fprintf(stderr, "console_text: no console of a running %s\n", argv[1]);
    return 1;
  }
  const HANDLE screen =
      CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (screen == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(screen, &info)) {
    std::fprintf(stderr, "console_text: the console of %s cannot be read\n", argv[1]);
    return 1;
  }
  const SMALL_RECT window = info.srWindow;
  std::wstring row(window.Right - window.Left + 1, L' ');
  std::string text;
  for (SHORT y = window.Top; y <= window.Bottom; ++y) {
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen, row.data(), static_cast<DWORD>(row.size()),
                                COORD{window.Left, y}, &read);
    text += Utf8(row.data(), static_cast<int>(read)) + "\n";
  }
  DWORD written = 0;
  return WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ? 0 : 1;
}
