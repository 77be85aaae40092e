#include "base/path_terms.h"

#include "base/utf8.h"

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

std::string withFolder(const std::string& path) {
  // On Windows "C:name" has a folder: the drive's current one.
  if (path.empty() || !folderOf(path).empty()) return path;
  return std::string(".") + kPathSeparator + path;
}

std::vector<std::string> pathComponents(std::string_view path) {
  std::vector<std::string> components;
  std::size_t begin = 0;
  while (begin <= path.size()) {
    std::size_t end = begin;
    while (end < path.size() && !isPathSeparator(path[end])) ++end;
    const std::string_view component = path.substr(begin, end - begin);
    if (!component.empty() && component != ".") components.emplace_back(component);
    begin = end + 1;
  }
  return components;
}

std::string lowerAscii(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

namespace {

// A run of capitals [first, last] whose small letters lie `shift` above them, every
// `step`-th one a capital (2 where capitals and small letters alternate).
struct CaseRun {
  char32_t first, last, shift, step;
};

constexpr CaseRun kCaseRuns[] = {
    {0x00C0, 0x00D6, 0x20, 1},  // Latin-1: À to Ö
    {0x00D8, 0x00DE, 0x20, 1},  // Ø to Þ
    {0x0100, 0x012E, 1, 2},     // Latin Extended-A: Ā ā … Į į
    {0x0391, 0x03A1, 0x20, 1},  // Greek: Α to Ρ
    {0x03A3, 0x03AB, 0x20, 1},  // Σ to Ϋ (no capital of final ς)
    {0x0400, 0x040F, 0x50, 1},  // Cyrillic: Ѐ to Џ, Ё among them
    {0x0410, 0x042F, 0x20, 1},  // А to Я
    {0x2160, 0x216F, 0x10, 1},  // Roman numerals: Ⅰ to Ⅿ
    {0x24B6, 0x24CF, 0x1A, 1},  // circled Ⓐ to Ⓩ
    {0xFF21, 0xFF3A, 0x20, 1},  // full-width Ａ to Ｚ
};

char32_t smallLetterOf(char32_t c) {
  for (const CaseRun& run : kCaseRuns) {
    if (c >= run.first && c <= run.last && (c - run.first) % run.step == 0) return c + run.shift;
  }
  return c;
}

}  // namespace

std::string foldNameCase(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      folded += (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : text[i];
      ++i;
      continue;
    }
    const Utf8Char c = decodeUtf8At(text, i);
    if (c.length == 0) {
      folded += text[i++];
      continue;
    }
    appendUtf8(folded, smallLetterOf(c.value));
    i += c.length;
  }
  return folded;
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
