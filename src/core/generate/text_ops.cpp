#include "generate/text_ops.h"

#include <algorithm>
#include <functional>

namespace vesk {

namespace {

// Patterns this long are searched with Boyer-Moore-Horspool: whole element texts are
// used as patterns, and skipping by their length keeps repeated scans of a large
// scene cheap.
constexpr std::size_t kLongPattern = 16;

std::size_t search(std::string_view text, std::string_view pattern, std::size_t start) {
  if (pattern.size() < kLongPattern) return text.find(pattern, start);
  const std::boyer_moore_horspool_searcher searcher(pattern.begin(), pattern.end());
  const auto hit = std::search(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(),
                               searcher);
  return hit == text.end() ? std::string_view::npos
                           : static_cast<std::size_t>(hit - text.begin());
}

}  // namespace

std::optional<std::size_t> findFrom(std::string_view text, std::string_view pattern,
                                    std::size_t start) {
  if (start > text.size()) return std::nullopt;
  const auto at = search(text, pattern, start);
  if (at == std::string_view::npos) return std::nullopt;
  return at;
}

void replaceAll(std::string& text, std::string_view oldPattern, std::string_view newText) {
  if (oldPattern.empty()) return;
  std::size_t at = search(text, oldPattern, 0);
  if (at == std::string::npos) return;
  std::string result;
  result.reserve(text.size());
  std::size_t copied = 0;
  while (at != std::string::npos) {
    result.append(text, copied, at - copied);
    result.append(newText);
    copied = at + oldPattern.size();
    at = search(text, oldPattern, copied);
  }
  result.append(text, copied, std::string::npos);
  text = std::move(result);
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
