#include "package/windows_names.h"

#include <array>

#include "base/path_terms.h"

namespace vesk {

namespace {

// "/" on both systems; "\\" only where it is the system's separator: elsewhere it is a
// character of a name, which Windows cannot hold.
bool isSeparator(char c) {
  return c == '/' || c == kPathSeparator;
}

char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equalsIgnoringCase(std::string_view text, std::string_view upperName) {
  if (text.size() != upperName.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (upper(text[i]) != upperName[i]) return false;
  }
  return true;
}

// Device names Windows keeps for itself whatever follows the first dot.
bool isReservedName(std::string_view component) {
  const std::string_view base = component.substr(0, component.find('.'));
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  for (const auto name : kPlain) {
    if (equalsIgnoringCase(base, name)) return true;
  }
  if (base.size() != 4 || base[3] < '1' || base[3] > '9') return false;
  return equalsIgnoringCase(base.substr(0, 3), "COM") ||
         equalsIgnoringCase(base.substr(0, 3), "LPT");
}

WindowsNameFault componentFault(std::string_view component) {
  // "." names the folder it stands in, as on Windows; no file or folder is made of it.
  if (component.empty() || component == ".") return WindowsNameFault::None;
  for (const char c : component) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || std::string_view("\\<>:\"|?*").find(c) != std::string_view::npos) {
      return WindowsNameFault::ForbiddenCharacter;
    }
  }
  if (isReservedName(component)) return WindowsNameFault::ReservedName;
  if (component.back() == '.' || component.back() == ' ') {
    return WindowsNameFault::TrailingDotOrBlank;
  }
  return WindowsNameFault::None;
}

}  // namespace

std::size_t utf16Length(std::string_view text) {
  std::size_t length = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
    length += byte >= 0xF0 ? 2 : 1;       // four-byte sequences take a surrogate pair
  }
  return length;
}

WindowsNameFault windowsPathFault(std::string_view destination, std::string_view relativePath) {
  std::size_t begin = 0;
  while (begin <= relativePath.size()) {
    std::size_t end = begin;
    while (end < relativePath.size() && !isSeparator(relativePath[end])) ++end;
    const WindowsNameFault fault = componentFault(relativePath.substr(begin, end - begin));
    if (fault != WindowsNameFault::None) return fault;
    begin = end + 1;
  }
  std::size_t length = utf16Length(destination) + utf16Length(relativePath);
  if (!destination.empty() && !isPathSeparator(destination.back())) ++length;
  return length > kMaxWindowsPathLength ? WindowsNameFault::PathTooLong : WindowsNameFault::None;
}

}  // namespace vesk
