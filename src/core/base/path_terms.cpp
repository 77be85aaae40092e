#include "base/path_terms.h"

namespace vesk {

bool isPathSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/' || c == ':';
#else
  return c == '/';
#endif
}

// The character that ends an extension besides a blank.
static bool endsExtension(char c) {
#ifdef _WIN32
  return c == '\\';
#else
  return c == '/';
#endif
}

std::string fileNameOf(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i + 1 < path.size(); ++i) {
    if (isPathSeparator(path[i]) && !isPathSeparator(path[i + 1])) start = i + 1;
  }
  return std::string(path.substr(start));
}

std::string extensionOf(std::string_view path) {
  const auto dot = path.rfind('.');
  if (dot == std::string_view::npos) return {};
  for (std::size_t i = dot + 1; i < path.size(); ++i) {
    if (path[i] == ' ' || endsExtension(path[i])) return {};
  }
  return std::string(path.substr(dot));
}

std::string folderOf(std::string_view path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (isPathSeparator(path[i - 1])) return std::string(path.substr(0, i));
  }
  return {};
}

std::string lowerAscii(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

bool hasImageExtension(std::string_view path) {
  const std::string ext = lowerAscii(extensionOf(path));
  return ext == ".jpg" || ext == ".jpeg" || ext == ".png" || ext == ".bmp";
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || isPathSeparator(folder.back())) return folder + name;
  return folder + kPathSeparator + name;
}

}  // namespace vesk
