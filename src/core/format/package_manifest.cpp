#include "format/package_manifest.h"

#include <algorithm>

namespace vesk {

namespace {

bool needsEscape(std::string_view path) {
  return path.find_first_of("\\\n\r") != std::string_view::npos;
}

std::string escaped(std::string_view path) {
  std::string text;
  text.reserve(path.size() + 4);
  for (const char c : path) {
    if (c == '\\') {
      text += "\\\\";
    } else if (c == '\n') {
      text += "\\n";
    } else if (c == '\r') {
      text += "\\r";
    } else {
      text += c;
    }
  }
  return text;
}

std::optional<std::string> unescaped(std::string_view text) {
  std::string path;
  path.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      path += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\':
        path += '\\';
        break;
      case 'n':
        path += '\n';
        break;
      case 'r':
        path += '\r';
        break;
      default:
        return std::nullopt;
    }
  }
  return path;
}

bool isHash(std::string_view text) {
  return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
         });
}

std::string lowered(std::string_view hex) {
  std::string text(hex);
  for (char& c : text) {
    if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// A relative path as the system resolves it: its "." and empty components dropped
// ("./00//a" is "00/a"). An absolute path stays as it is.
std::string withoutCurrentFolders(const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  std::string kept;
  std::size_t begin = 0;
  while (begin <= path.size()) {
    std::size_t end = path.find('/', begin);
    if (end == std::string::npos) end = path.size();
    const std::string_view part(path.data() + begin, end - begin);
    if (!part.empty() && part != ".") {
      if (!kept.empty()) kept += '/';
      kept += part;
    }
    begin = end + 1;
  }
  return kept;
}

}  // namespace

std::string manifestText(const std::vector<ManifestLine>& lines) {
  // Sorted by reference: the lines themselves are not copied.
  std::vector<const ManifestLine*> sorted;
  sorted.reserve(lines.size());
  std::size_t bytes = 0;
  for (const ManifestLine& line : lines) {
    sorted.push_back(&line);
    bytes += line.hex.size() + line.path.size() + 4;
  }
  std::sort(sorted.begin(), sorted.end(),
            [](const ManifestLine* a, const ManifestLine* b) { return a->path < b->path; });
  std::string text;
  text.reserve(bytes);
  for (const ManifestLine* line : sorted) {
    if (needsEscape(line->path)) {
      text += '\\';
      text += line->hex;
      text += "  ";
      text += escaped(line->path);
    } else {
      text += line->hex;
      text += "  ";
      text += line->path;
    }
    text += '\n';
  }
  return text;
}

ManifestReading readManifest(std::string_view text) {
  ManifestReading reading;
  std::size_t number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    // A manifest saved with CR LF line ends (by a Windows editor) reads as sha256sum
    // reads it: a CR in a name is always written escaped, so a bare one ends the line.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    // Empty lines and comments, as sha256sum passes them over.
    if (line.empty() || line.front() == '#') continue;
    const bool isEscaped = line.front() == '\\';
    if (isEscaped) line.remove_prefix(1);
    // "<hex>  <path>" (text mode) or "<hex> *<path>" (binary mode).
    const auto malformed = [&] {
      reading.lines.clear();
      reading.malformedLine = number;
      return reading;
    };
    if (line.size() < 67 || !isHash(line.substr(0, 64)) || line[64] != ' ' ||
        (line[65] != ' ' && line[65] != '*')) {
      return malformed();
    }
    const std::string_view rawPath = line.substr(66);
    std::optional<std::string> path = isEscaped ? unescaped(rawPath) : std::string(rawPath);
    if (!path) return malformed();
    std::string relative = withoutCurrentFolders(*path);
    if (relative.empty()) return malformed();
    reading.lines.push_back({std::move(relative), lowered(line.substr(0, 64))});
  }
  return reading;
}

std::optional<std::vector<ManifestLine>> readManifestText(std::string_view text) {
  ManifestReading reading = readManifest(text);
  if (reading.malformedLine != 0) return std::nullopt;
  return std::move(reading.lines);
}

}  // namespace vesk
