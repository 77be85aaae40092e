#include "format/document_outline.h"

#include <charconv>
#include <iterator>

#include "format/text_ops.h"

namespace vesk {

namespace {

// Every value of `attribute` ("name=\"" and the like) that follows `open` in the text.
std::vector<std::string> namesAfter(std::string_view text, std::string_view open) {
  std::vector<std::string> names;
  std::size_t pos = 0;
  while (const auto found = findFrom(text, open, pos)) {
    const std::size_t start = *found + open.size();
    const std::size_t end = text.find('"', start);
    if (end == std::string_view::npos) break;
    names.emplace_back(text.substr(start, end - start));
    pos = end;
  }
  return names;
}

std::vector<std::string> allValues(std::string_view element, std::string_view attribute) {
  std::vector<std::string> values;
  std::size_t pos = 0;
  while (const auto found = findFrom(element, attribute, pos)) {
    const std::size_t start = *found + attribute.size();
    const std::size_t end = element.find('"', start);
    if (end == std::string_view::npos) break;
    values.emplace_back(element.substr(start, end - start));
    pos = end + 1;
  }
  return values;
}

// Escaped undecodable bytes are U+10FF00..U+10FFFF: F4 8F BC..BF in UTF-8.
bool holdsEscapedBytes(std::string_view text) {
  for (std::size_t pos = text.find('\xF4'); pos != std::string_view::npos;
       pos = text.find('\xF4', pos + 1)) {
    if (pos + 2 < text.size() && text[pos + 1] == '\x8F' &&
        static_cast<unsigned char>(text[pos + 2]) >= 0xBC) {
      return true;
    }
  }
  return false;
}

// The text with every element from `open` through the first `close` after it left
// out; an unclosed one runs to the end.
std::string withoutElements(std::string_view text, std::string_view open, std::string_view close) {
  std::string kept;
  std::size_t pos = 0;
  while (const auto start = findFrom(text, open, pos)) {
    kept += text.substr(pos, *start - pos);
    const auto end = findFrom(text, close, *start + open.size());
    if (!end) return kept;
    pos = *end + close.size();
  }
  kept += text.substr(pos);
  return kept;
}

bool parseInt(std::string_view text, int& value) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

void appendOutline(DocumentOutline& outline, DocumentOutline next) {
  outline.undecodedBytes = outline.undecodedBytes || next.undecodedBytes;
  const auto append = [](auto& into, auto& from) {
    into.insert(into.end(), std::make_move_iterator(from.begin()),
                std::make_move_iterator(from.end()));
  };
  append(outline.data, next.data);
  append(outline.eventNames, next.eventNames);
  append(outline.drawGroupNames, next.drawGroupNames);
}

std::optional<std::pair<int, int>> parseSizeValue(std::string_view size) {
  const std::size_t comma = size.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  int width = 0;
  int height = 0;
  if (!parseInt(size.substr(0, comma), width) || !parseInt(size.substr(comma + 1), height)) {
    return std::nullopt;
  }
  return std::make_pair(width, height);
}

DataElement outlineDataElement(std::string_view element) {
  return {attributeValue(element, "name=\""), attributeValue(element, "size=\""),
          allValues(element, "path=\"")};
}

bool leavesDataOpen(std::string_view merged) {
  std::size_t pos = 0;
  while (const auto open = findFrom(merged, "<data", pos)) {
    const auto close = findFrom(merged, "</data>", *open);
    if (!close) return true;
    pos = *close;
  }
  return false;
}

DocumentOutline outlineDocument(std::string_view text) {
  DocumentOutline outline;
  // Scene text stands in the merged elements and in the top group names it gave. A
  // text without the escapes' first byte holds none anywhere, however parts are left
  // out: the common case, which needs no copy of the text without them.
  if (text.find('\xF4') != std::string_view::npos) {
    const std::string fixed = withoutElements(
        withoutElements(withoutElements(text, "<data", "</data>"), "<drawGroup", "</drawGroup>"),
        "<topGroup name=\"", "\"");
    outline.undecodedBytes = holdsEscapedBytes(fixed);
  }
  constexpr std::string_view kHead = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"";
  constexpr std::string_view kRoot = "\n<NuvrelFile version=\"1.35\">\n";
  constexpr std::string_view kEnd = "</NuvrelFile>\n";
  outline.wellFormed = text.substr(0, kHead.size()) == kHead &&
                       text.find(kRoot) != std::string_view::npos && text.size() >= kEnd.size() &&
                       text.substr(text.size() - kEnd.size()) == kEnd;

  std::size_t pos = 0;
  while (const auto open = findFrom(text, "<data", pos)) {
    const auto close = findFrom(text, "</data>", *open);
    if (!close) {
      outline.wellFormed = false;
      break;
    }
    outline.data.push_back(outlineDataElement(text.substr(*open, *close - *open)));
    pos = *close;
  }
  outline.eventNames = namesAfter(text, "<event name=\"");
  outline.drawGroupNames = namesAfter(text, "<drawGroup name=\"");
  return outline;
}

}  // namespace vesk
