#include "TempFolder.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "WaitUntil.h"

namespace testing_support {

TempFolder::TempFolder() {
  // A folder of a random name that did not exist before is this object's alone.
  // The name is short: tests type whole paths into an 80-column prompt.
  static std::mt19937 random{std::random_device{}()};
  constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "rz";
    for (int i = 0; i < 6; ++i) name += kDigits[random() % (sizeof kDigits - 1)];
    const std::filesystem::path path = base / name;
    if (std::filesystem::create_directory(path)) {
      path_ = path.generic_string();
      return;
    }
  }
  throw std::runtime_error("no temporary folder");
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Write(std::string_view name, std::string_view contents) const {
  const std::string full = path_ + "/" + std::string(name);
  // The name is UTF-8, whatever the system's own narrow code page.
  std::ofstream(std::filesystem::path(std::u8string(full.begin(), full.end())), std::ios::binary)
      << contents;
  return full;
}

void TempFolder::CopySample(std::string_view name) const {
  Write(name, SampleFile(name));
}

std::string TempFolder::Read(std::string_view name) const {
  return ReadWholeFile(path_ + "/" + std::string(name));
}

bool TempFolder::Holds(std::string_view name) const {
  return std::filesystem::exists(path_ + "/" + std::string(name));
}

std::optional<std::string> TempFolder::WaitForFile(std::string_view name,
                                                   std::chrono::milliseconds timeout) const {
  if (!WaitUntil([&] { return Holds(name); }, timeout)) return std::nullopt;
  return Read(name);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::string SampleFile(std::string_view name) {
  return ReadWholeFile(SAMPLES_DIR "/" + std::string(name));
}

}  // namespace testing_support
