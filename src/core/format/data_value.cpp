#include "format/data_value.h"

namespace vesk {

namespace {

bool isSeparator(char c) {
  return c == '\\' || c == '/';
}

}  // namespace

bool dataValueLeavesFolder(std::string_view value) {
  if (value.empty()) return false;
  if (isSeparator(value.front())) return true;
  if (value.size() >= 2 && value[1] == ':') return true;
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = start;
    while (end < value.size() && !isSeparator(value[end])) ++end;
    if (value.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

std::string packagedDataValue(std::string_view value) {
  if (!dataValueLeavesFolder(value)) return std::string(value);
  std::size_t end = value.size();
  while (end > 0 && isSeparator(value[end - 1])) --end;
  std::size_t start = end;
  while (start > 0 && !isSeparator(value[start - 1])) --start;
  // Keep one trailing separator, as the folder's copy keeps it.
  return std::string(value.substr(start, (end < value.size() ? end + 1 : end) - start));
}

}  // namespace vesk
