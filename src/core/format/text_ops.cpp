#include "format/text_ops.h"

#include <algorithm>
#include <cstring>

#include "format/text_search.h"

namespace vesk {

std::optional<std::size_t> findFrom(std::string_view text, std::string_view pattern,
                                    std::size_t start) {
  if (start > text.size()) return std::nullopt;
  const auto at = PatternFinder(pattern).find(text, start);
  if (at == std::string_view::npos) return std::nullopt;
  return at;
}

void replaceAll(std::string& text, std::string_view oldPattern, std::string_view newText,
                std::size_t start) {
  if (oldPattern.empty() || start > text.size()) return;
  // Every search starts where the previous occurrence ended, so the searches
  // together read the text once.
  const PatternFinder finder(oldPattern);
  std::size_t at = finder.find(text, start);
  if (at == std::string::npos) return;

  if (newText.size() <= oldPattern.size()) {
    // Nothing grows: compact the text in place behind the first occurrence.
    char* data = text.data();
    std::size_t write = at;
    std::size_t read = at;
    while (at != std::string::npos) {
      std::memmove(data + write, data + read, at - read);
      write += at - read;
      std::memmove(data + write, newText.data(), newText.size());
      write += newText.size();
      read = at + oldPattern.size();
      at = finder.find(text, read);
    }
    std::memmove(data + write, data + read, text.size() - read);
    text.resize(write + text.size() - read);
    return;
  }

  std::string result;
  result.reserve(text.size() + newText.size() - oldPattern.size());
  std::size_t copied = 0;
  while (at != std::string::npos) {
    result.append(text, copied, at - copied);
    result.append(newText);
    copied = at + oldPattern.size();
    at = finder.find(text, copied);
  }
  result.append(text, copied, std::string::npos);
  text = std::move(result);
}

void appendInsertingAfterEach(std::string& out, std::string_view text,
                              const std::vector<std::string_view>& patterns,
                              std::string_view insertion) {
  appendInsertingAfterEach(out, text, PatternSet(patterns), insertion);
}

void appendInsertingAfterEach(std::string& out, std::string_view text, const PatternSet& patterns,
                              std::string_view insertion) {
  // Each time the first occurrence after the last one taken: one that overlaps the
  // occurrence before is none to insert after.
  PatternSetScan scan(patterns, text);
  std::size_t copied = 0;
  for (auto found = scan.next(0); found.at != std::string_view::npos; found = scan.next(copied)) {
    const std::size_t end = found.at + patterns.patterns()[found.pattern].size();
    out.append(text.data() + copied, end - copied);
    out.append(insertion);
    copied = end;
  }
  out.append(text.data() + copied, text.size() - copied);
}

void insertAfterEach(std::string& text, const std::vector<std::string_view>& patterns,
                     std::string_view insertion) {
  std::string result;
  result.reserve(text.size() + text.size() / 16 + 16 * insertion.size());
  appendInsertingAfterEach(result, text, patterns, insertion);
  if (result.size() != text.size()) text = std::move(result);  // else nothing was inserted
}

std::string cutElement(std::string_view text, std::string_view open, std::string_view close) {
  const auto begin = findFrom(text, open, 0);
  if (!begin) return {};
  const auto end = findFrom(text, close, *begin + open.size());
  if (!end) return {};
  return std::string(text.substr(*begin, *end + close.size() - *begin));
}

std::string attributeValue(std::string_view text, std::string_view pattern) {
  const auto begin = findFrom(text, pattern, 0);
  if (!begin) return {};
  const std::size_t valueStart = *begin + pattern.size();
  const auto end = findFrom(text, "\"", valueStart);
  if (!end) return {};
  return std::string(text.substr(valueStart, *end - valueStart));
}

}  // namespace vesk
