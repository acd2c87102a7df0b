// Feeds arbitrary bytes to the matrix file reader: the counts, the rows and the
// line skips in the reading phase's order, through a text stream on a file.
// Every input must end without a crash, a hang or a sanitizer report, and the
// values read and the I/O result must be those of an independent reading of
// the file's rules (separators, number syntax, Ctrl+Z, line ends) written
// straight from them. The reading phase ends the run at the first I/O result
// or out-of-range value; here the same conditions end the input.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "runtime/ErrorCodes.h"
#include "runtime/IoResult.h"
#include "runtime/TextFile.h"

namespace {

constexpr int32_t kLastIndex = 9;

int MatrixFile() {
  static const int fd = memfd_create("matrix", 0);
  return fd;
}

bool Fits16(int32_t value) {
  return value >= INT16_MIN && value <= INT16_MAX;
}

// What a reading gives: the numbers read, in order, and the I/O result that ended it.
struct Reading {
  std::vector<int32_t> values;
  uint16_t result = 0;
  bool operator==(const Reading&) const = default;
};

// The reading phase's order of reads, over any source of numbers and line skips;
// `number` gives nothing for an invalid number, which ends the reading.
template <typename Number, typename Skip>
Reading ReadMatrix(Number number, Skip skip) {
  Reading reading;
  const auto next = [&]() -> bool {
    const std::optional<int32_t> value = number();
    if (!value) {
      reading.result = RuntimeError::kInvalidNumericFormat;
      return false;
    }
    reading.values.push_back(*value);
    return Fits16(*value);
  };
  if (!next() || !next()) return reading;
  const int32_t rows = reading.values[0];
  const int32_t columns = reading.values[1];
  skip();
  for (int32_t i = 1; i <= rows; ++i) {
    for (int32_t j = 1; j <= columns; ++j)
      if (!next() || i > kLastIndex || j > kLastIndex) return reading;
    skip();
  }
  return reading;
}

// The file's rules, read from the bytes directly.
class IndependentReader {
 public:
  explicit IndependentReader(std::string_view bytes) : bytes_(bytes) {}

  std::optional<int32_t> Number() {
    while (at_ < bytes_.size() && Byte(at_) <= ' ' && Byte(at_) != kCtrlZ) ++at_;
    if (at_ == bytes_.size() || Byte(at_) == kCtrlZ) return 0;  // end of data reads as 0
    const std::size_t start = at_;
    while (at_ < bytes_.size() && at_ - start < kMaxRun && Byte(at_) > ' ') ++at_;
    return Parse(bytes_.substr(start, at_ - start));
  }

  void SkipLine() {
    while (at_ < bytes_.size() && Byte(at_) != kCtrlZ) {
      const uint8_t byte = Byte(at_++);
      if (byte == '\n') return;
      if (byte == '\r') {
        if (at_ < bytes_.size() && Byte(at_) == '\n') ++at_;
        return;
      }
    }
  }

 private:
  static constexpr uint8_t kCtrlZ = 26;
  static constexpr std::size_t kMaxRun = 255;

  uint8_t Byte(std::size_t at) const { return static_cast<uint8_t>(bytes_[at]); }

  struct Prefix {
    std::string_view text;
    uint32_t base;
  };

  // A sign, a base prefix (none for decimal, the last entry), then digits of that base.
  static std::optional<int32_t> Parse(std::string_view text) {
    static constexpr Prefix kPrefixes[] = {{"0x", 16}, {"0X", 16}, {"$", 16}, {"x", 16},
                                           {"X", 16},  {"%", 2},   {"&", 8},  {"", 10}};
    static constexpr std::string_view kDigits = "0123456789abcdef";
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+')) text.remove_prefix(1);
    const Prefix& prefix = *std::find_if(std::begin(kPrefixes), std::end(kPrefixes),
                                         [&](const Prefix& p) { return text.starts_with(p.text); });
    text.remove_prefix(prefix.text.size());
    if (text.empty()) return std::nullopt;
    const std::string_view digits = kDigits.substr(0, prefix.base);
    int64_t value = 0;
    for (const char c : text) {
      const std::size_t digit =
          digits.find(static_cast<char>(std::tolower(static_cast<uint8_t>(c))));
      if (digit == std::string_view::npos) return std::nullopt;
      value = value * prefix.base + static_cast<int64_t>(digit);
      if (value > int64_t{UINT32_MAX}) return std::nullopt;
    }
    if (prefix.base == 10) {
      const int64_t signedValue = negative ? -value : value;
      if (signedValue < INT32_MIN || signedValue > INT32_MAX) return std::nullopt;
      return static_cast<int32_t>(signedValue);
    }
    // All 32 bits as a signed value; the '-' negates it modulo 2^32.
    const auto pattern = static_cast<int32_t>(static_cast<uint32_t>(value));
    return static_cast<int32_t>(negative ? -int64_t{pattern} : int64_t{pattern});
  }

  std::string_view bytes_;
  std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int fd = MatrixFile();
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) abort();
  char name[64];
  std::snprintf(name, sizeof name, "/proc/self/fd/%d", fd);

  TextFile file;
  Assign(file, ShortString(name));
  Reset(file);
  if (IOResult() != 0) abort();
  Reading read = ReadMatrix(
      [&]() -> std::optional<int32_t> {
        const int32_t value = ReadInteger(file);
        if (InOutRes != 0) return std::nullopt;
        return value;
      },
      [&] { ReadLineSkip(file); });
  read.result = IOResult();
  Close(file);
  if (IOResult() != 0) abort();

  IndependentReader reader(std::string_view(reinterpret_cast<const char*>(data), size));
  const Reading expected = ReadMatrix([&] { return reader.Number(); }, [&] { reader.SkipLine(); });
  if (read != expected) abort();
  return 0;
}
