#include "Demangle.h"

namespace {

// Reads "<length><identifier>" at `pos`; an empty view when none is there.
std::string_view SourceName(std::string_view text, size_t& pos) {
  size_t length = 0;
  const size_t start = pos;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    length = length * 10 + static_cast<size_t>(text[pos] - '0');
    if (length > text.size()) return {};
    ++pos;
  }
  if (pos == start || text[start] == '0' || length > text.size() - pos) return {};
  const std::string_view name = text.substr(pos, length);
  pos += length;
  return name;
}

}  // namespace

std::string_view RoutineName(std::string_view linkageName) {
  if (!linkageName.starts_with("_Z")) return linkageName;
  size_t pos = 2;
  const bool nested = pos < linkageName.size() && linkageName[pos] == 'N';
  if (nested) ++pos;
  if (pos < linkageName.size() && linkageName[pos] == 'L') ++pos;
  std::string_view name = SourceName(linkageName, pos);
  if (name.empty()) return linkageName;
  if (!nested) return name;
  while (pos < linkageName.size() && linkageName[pos] != 'E') {
    name = SourceName(linkageName, pos);
    if (name.empty()) return linkageName;
  }
  return pos < linkageName.size() ? name : linkageName;
}
