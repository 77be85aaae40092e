#include "format/copy_record.h"

#include <algorithm>
#include <charconv>

namespace vesk {

namespace {

// Records of form 1 (without the source's status change time) are no record: their
// files are copied again once. Form 2 lacks the copies' status change times: its
// sizes serve a quick verify, its copies are not reused.
constexpr std::string_view kHeading = "vesk-copy-record 3";
constexpr std::string_view kEarlierHeading = "vesk-copy-record 2";

// Appends `text` to `out` with a backslash, tab, line feed or carriage return escaped.
void appendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
}

template <typename Number>
void appendNumber(std::string& out, Number value) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, end);
}

std::optional<std::string> unescaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\':
        out += '\\';
        break;
      case 't':
        out += '\t';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

template <typename Number>
bool parsed(std::string_view text, Number& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t tab = line.find('\t');
    parts.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return parts;
    line.remove_prefix(tab + 1);
  }
}

}  // namespace

std::string copyRecordText(const std::vector<RecordedFile>& files,
                           std::optional<std::int64_t> time) {
  // Sorted by reference: the records themselves are not copied.
  std::vector<const RecordedFile*> sorted;
  sorted.reserve(files.size());
  std::size_t bytes = kHeading.size() + 1;
  for (const RecordedFile& file : files) {
    sorted.push_back(&file);
    bytes += file.path.size() + file.hex.size() + file.source.size() + 100;
  }
  std::sort(sorted.begin(), sorted.end(),
            [](const RecordedFile* a, const RecordedFile* b) { return a->path < b->path; });
  std::string text;
  text.reserve(bytes);
  text += kHeading;
  if (time) {
    text += '\t';
    appendNumber(text, *time);
  }
  text += '\n';
  for (const RecordedFile* f : sorted) {
    appendEscaped(text, f->path);
    text += '\t';
    appendNumber(text, f->size);
    text += '\t';
    appendNumber(text, f->modified);
    text += '\t';
    text += f->hex;
    text += '\t';
    appendNumber(text, f->sourceSize);
    text += '\t';
    appendNumber(text, f->sourceModified);
    text += '\t';
    appendNumber(text, f->sourceDevice);
    text += '\t';
    appendNumber(text, f->sourceFile);
    text += '\t';
    appendNumber(text, f->sourceChanged);
    text += '\t';
    appendEscaped(text, f->source);
    text += '\t';
    appendNumber(text, f->changed);
    text += '\n';
  }
  return text;
}

std::optional<std::vector<RecordedFile>> readCopyRecordText(std::string_view text,
                                                            std::optional<std::int64_t>* time) {
  const std::size_t headingEnd = text.find('\n');
  if (headingEnd == std::string_view::npos) return std::nullopt;
  const std::vector<std::string_view> heading = fields(text.substr(0, headingEnd));
  const bool earlier = heading.size() == 1 && heading[0] == kEarlierHeading;
  std::int64_t firstWritten = 0;
  if (!earlier && (heading[0] != kHeading || heading.size() > 2 ||
                   (heading.size() == 2 && !parsed(heading[1], firstWritten)))) {
    return std::nullopt;
  }
  if (time != nullptr) {
    *time = heading.size() == 2 ? std::optional<std::int64_t>(firstWritten) : std::nullopt;
  }
  const std::size_t fieldCount = earlier ? 10 : 11;
  text.remove_prefix(headingEnd + 1);
  std::vector<RecordedFile> files;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;  // a record cut short
    const std::vector<std::string_view> parts = fields(text.substr(0, end));
    text.remove_prefix(end + 1);
    if (parts.size() != fieldCount || parts[3].size() != 64) return std::nullopt;
    RecordedFile f;
    auto path = unescaped(parts[0]);
    auto source = unescaped(parts[9]);
    if (!path || path->empty() || !source || !parsed(parts[1], f.size) ||
        !parsed(parts[2], f.modified) || !parsed(parts[4], f.sourceSize) ||
        !parsed(parts[5], f.sourceModified) || !parsed(parts[6], f.sourceDevice) ||
        !parsed(parts[7], f.sourceFile) || !parsed(parts[8], f.sourceChanged) ||
        (!earlier && !parsed(parts[10], f.changed))) {
      return std::nullopt;
    }
    f.path = std::move(*path);
    f.hex = std::string(parts[3]);
    f.source = std::move(*source);
    files.push_back(std::move(f));
  }
  return files;
}

}  // namespace vesk
