#include "ProgramFolder.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>

ProgramFolder::ProgramFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "reszmatrix-run-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

ProgramFolder::~ProgramFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

void ProgramFolder::CopySample(const std::string& fileName) const {
  std::filesystem::copy_file(std::filesystem::path(SAMPLES_DIR) / fileName, path_ / fileName,
                             std::filesystem::copy_options::overwrite_existing);
}

void ProgramFolder::Write(const std::string& fileName, std::string_view content) const {
  std::ofstream file(path_ / fileName, std::ios::binary);
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string ProgramFolder::Read(const std::string& fileName) const {
  return ReadWholeFile(path_ / fileName);
}

bool ProgramFolder::Holds(const std::string& fileName) const {
  return std::filesystem::exists(path_ / fileName);
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::string SourceLine(const std::string& relativePath, int number) {
  std::ifstream file(std::filesystem::path(SOURCE_DIR) / relativePath);
  std::string line;
  for (int i = 1; std::getline(file, line); ++i)
    if (i == number) return line;
  return {};
}
