#include "format/text_search.h"

#include <array>
#include <cstring>

namespace vesk {
namespace {

// Up to this length a pattern is found by a scan for one of its bytes and a
// comparison at each hit: at most this many comparisons per text byte.
constexpr std::size_t kShortPattern = 32;

// How often each byte turns up in scene text: lower is rarer. Digits, blanks, the
// punctuation of attributes and numbers and most lower-case letters fill the text;
// "<" starts each tag, and a few letters are scarcer; capitals, "_" and the rest are
// scarce.
constexpr std::array<unsigned char, 256> kCommonness = [] {
  std::array<unsigned char, 256> table{};
  for (const char c : std::string_view("abcdefghijklmnopqrstuvwxyz0123456789 \t\r\n\".,-=/>")) {
    table[static_cast<unsigned char>(c)] = 2;
  }
  for (const char c : std::string_view("<bcfgjkquwyz")) table[static_cast<unsigned char>(c)] = 1;
  return table;
}();

}  // namespace

PatternFinder::PatternFinder(std::string_view pattern) : pattern_(pattern) {
  if (pattern_.size() <= kShortPattern) {
    for (std::size_t i = 1; i < pattern_.size(); ++i) {
      if (kCommonness[static_cast<unsigned char>(pattern_[i])] <
          kCommonness[static_cast<unsigned char>(pattern_[anchor_])]) {
        anchor_ = i;
      }
    }
    return;
  }
#ifndef __GLIBC__
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
  if (from > text.size()) return std::string_view::npos;
  const std::size_t length = pattern_.size();
  if (length <= kShortPattern) {
    if (length == 0) return from;
    // Each occurrence of the pattern's rarest byte is a place where it may stand.
    const char* data = text.data();
    const char anchor = pattern_[anchor_];
    std::size_t at = from + anchor_;
    while (at + length - anchor_ <= text.size()) {
      const void* hit = std::memchr(data + at, anchor, text.size() - at - (length - anchor_ - 1));
      if (hit == nullptr) return std::string_view::npos;
      at = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
      const char* start = data + at - anchor_;
      // The last byte first: it turns most hits away without a call.
      if (start[length - 1] == pattern_[length - 1] &&
          std::memcmp(start, pattern_.data(), length) == 0) {
        return at - anchor_;
      }
      ++at;
    }
    return std::string_view::npos;
  }
#ifdef __GLIBC__
  // glibc's memmem skips ahead by a table of the pattern's byte pairs and falls back
  // on a linear algorithm in the worst case.
  const void* found = ::memmem(text.data() + from, text.size() - from, pattern_.data(), length);
  if (found == nullptr) return std::string_view::npos;
  return static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
#else
  const std::size_t size = text.size();
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

void PatternFinder::findEvery(std::string_view text, const PatternFinder& other,
                              std::vector<std::size_t>& mine,
                              std::vector<std::size_t>& others) const {
  mine.clear();
  others.clear();
  const auto isShort = [](const PatternFinder& finder) {
    return !finder.pattern_.empty() && finder.pattern_.size() <= kShortPattern;
  };
  if (!isShort(*this) || !isShort(other) || pattern_[anchor_] != other.pattern_[other.anchor_]) {
    for (auto at = find(text, 0); at != std::string_view::npos; at = find(text, at + 1)) {
      mine.push_back(at);
    }
    for (auto at = other.find(text, 0); at != std::string_view::npos;
         at = other.find(text, at + 1)) {
      others.push_back(at);
    }
    return;
  }
  // Each hit of the shared byte is where either pattern may stand, by its own offset.
  // The last byte first: it turns most hits away without a call.
  const auto standsAt = [text](const PatternFinder& finder, std::size_t hit) {
    const std::size_t size = finder.pattern_.size();
    if (hit < finder.anchor_ || hit - finder.anchor_ + size > text.size()) return false;
    const char* start = text.data() + hit - finder.anchor_;
    return start[size - 1] == finder.pattern_[size - 1] &&
           std::memcmp(start, finder.pattern_.data(), size) == 0;
  };
  const char anchor = pattern_[anchor_];
  const char* data = text.data();
  for (std::size_t at = 0; at < text.size(); ++at) {
    const void* hit = std::memchr(data + at, anchor, text.size() - at);
    if (hit == nullptr) break;
    at = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
    if (standsAt(*this, at)) mine.push_back(at - anchor_);
    if (standsAt(other, at)) others.push_back(at - other.anchor_);
  }
}

}  // namespace vesk
