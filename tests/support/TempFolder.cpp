#include "TempFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "WaitUntil.h"

namespace testing_support {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "reszmatrix-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Write(std::string_view name, std::string_view contents) const {
  const std::string full = path_ + "/" + std::string(name);
  std::ofstream(full, std::ios::binary) << contents;
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
