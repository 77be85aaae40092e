#include "format/text_search.h"

#include <cstring>

namespace vesk {
namespace {

// Up to this length the library's search is used: its worst case is this many
// comparisons per text byte, and it runs at memchr speed on real text.
constexpr std::size_t kShortPattern = 16;

}  // namespace

PatternFinder::PatternFinder(std::string_view pattern) : pattern_(pattern) {
#ifndef __GLIBC__
  if (pattern_.size() <= kShortPattern) return;
  border_.assign(pattern_.size(), 0);
  std::size_t k = 0;
  for (std::size_t i = 1; i < pattern_.size(); ++i) {
    while (k > 0 && pattern_[i] != pattern_[k]) k = border_[k - 1];
    if (pattern_[i] == pattern_[k]) ++k;
    border_[i] = k;
  }
#endif
}

std::size_t PatternFinder::find(std::string_view text, std::size_t from) const {
#ifdef __GLIBC__
  // glibc's memmem skips ahead over the text by a table of the pattern's byte pairs
  // and falls back on a linear algorithm in the worst case: far faster on scene text,
  // where a marker's first byte ("<") is frequent, than a scan for that byte.
  if (from > text.size()) return std::string_view::npos;
  if (pattern_.empty()) return from;
  const void* found =
      ::memmem(text.data() + from, text.size() - from, pattern_.data(), pattern_.size());
  if (found == nullptr) return std::string_view::npos;
  return static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
#else
  if (border_.empty()) return text.find(pattern_, from);
  const std::size_t size = text.size();
  const std::size_t length = pattern_.size();
  std::size_t matched = 0;
  std::size_t i = from;
  while (i < size) {
    if (matched == 0) {
      // Nothing matched yet: skip to the next occurrence of the first byte.
      const void* next = std::memchr(text.data() + i, pattern_[0], size - i);
      if (next == nullptr) return std::string_view::npos;
      i = static_cast<std::size_t>(static_cast<const char*>(next) - text.data());
    }
    if (text[i] == pattern_[matched]) {
      ++i;
      if (++matched == length) return i - length;
    } else if (matched > 0) {
      matched = border_[matched - 1];
    } else {
      ++i;
    }
  }
  return std::string_view::npos;
#endif
}

}  // namespace vesk
