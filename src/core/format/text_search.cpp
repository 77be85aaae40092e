#include "format/text_search.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <utility>

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

// The position of the pattern's rarest byte in scene text, the first of equals.
std::size_t rarestByteOf(std::string_view pattern) {
  std::size_t rarest = 0;
  for (std::size_t i = 1; i < pattern.size(); ++i) {
    if (kCommonness[static_cast<unsigned char>(pattern[i])] <
        kCommonness[static_cast<unsigned char>(pattern[rarest])]) {
      rarest = i;
    }
  }
  return rarest;
}

// True when `pattern` stands in `text` with its byte at `offset` at `hit`. The last
// byte first: it turns most hits away without a call.
bool standsWith(std::string_view text, std::size_t hit, std::string_view pattern,
                std::size_t offset) {
  const std::size_t size = pattern.size();
  if (hit < offset || hit - offset + size > text.size()) return false;
  const char* start = text.data() + hit - offset;
  return start[size - 1] == pattern[size - 1] && std::memcmp(start, pattern.data(), size) == 0;
}

}  // namespace

PatternFinder::PatternFinder(std::string_view pattern) : pattern_(pattern) {
  if (pattern_.size() <= kShortPattern) {
    anchor_ = rarestByteOf(pattern_);
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

PatternFinder::PatternFinder(std::string_view pattern, char scanned)
    : pattern_(pattern), anchor_(pattern.find(scanned)) {
  assert(pattern_.size() <= kShortPattern && anchor_ != std::string_view::npos);
}

bool PatternFinder::isShort() const {
  return !pattern_.empty() && pattern_.size() <= kShortPattern;
}

bool PatternFinder::standsAt(std::string_view text, std::size_t hit) const {
  return standsWith(text, hit, pattern_, anchor_);
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

void PatternFinder::findEvery(std::string_view text, std::initializer_list<Search> searches) {
  for (const Search& search : searches) search.found.clear();
  if (searches.size() == 0) return;
  const PatternFinder& first = searches.begin()->finder;
  const bool shared = first.isShort();
  const char scanned = shared ? first.pattern_[first.anchor_] : '\0';
  const auto inScan = [&](const PatternFinder& finder) {
    return shared && finder.isShort() && finder.pattern_[finder.anchor_] == scanned;
  };
  for (const Search& search : searches) {
    if (inScan(search.finder)) continue;
    for (auto at = search.finder.find(text, 0); at != std::string_view::npos;
         at = search.finder.find(text, at + 1)) {
      search.found.push_back(at);
    }
  }
  if (!shared) return;
  // Each hit of the shared byte is where each pattern may stand, by its own offset.
  const char* data = text.data();
  for (std::size_t at = 0; at < text.size(); ++at) {
    const void* hit = std::memchr(data + at, scanned, text.size() - at);
    if (hit == nullptr) break;
    at = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
    for (const Search& search : searches) {
      if (inScan(search.finder) && search.finder.standsAt(text, at)) {
        search.found.push_back(at - search.finder.anchor_);
      }
    }
  }
}

PatternSet::PatternSet(std::vector<std::string_view> patterns) : patterns_(std::move(patterns)) {
  // Each group is scanned for one byte: the byte that is among the rarest of the most
  // patterns not yet in a group, the lowest of equals.
  std::vector<std::size_t> left;
  for (std::size_t i = 0; i < patterns_.size(); ++i) {
    if (patterns_[i].empty()) continue;
    if (patterns_[i].size() > kShortPattern) {
      Group group;
      group.members.emplace_back(i, 0);
      group.whole.emplace_back(patterns_[i]);
      groups_.push_back(std::move(group));
      continue;
    }
    left.push_back(i);
  }
  const auto isRarestOf = [this](char byte, std::size_t pattern) {
    const std::string_view p = patterns_[pattern];
    return kCommonness[static_cast<unsigned char>(byte)] ==
           kCommonness[static_cast<unsigned char>(p[rarestByteOf(p)])];
  };
  while (!left.empty()) {
    std::array<std::size_t, 256> count{};
    for (const std::size_t pattern : left) {
      const std::string_view p = patterns_[pattern];
      for (std::size_t i = 0; i < p.size(); ++i) {
        if (p.find(p[i]) == i && isRarestOf(p[i], pattern))
          ++count[static_cast<unsigned char>(p[i])];
      }
    }
    const auto best =
        static_cast<char>(std::max_element(count.begin(), count.end()) - count.begin());
    Group group;
    group.scanned = best;
    std::vector<std::size_t> rest;
    for (const std::size_t pattern : left) {
      const std::size_t offset = patterns_[pattern].find(best);
      if (offset == std::string_view::npos || !isRarestOf(best, pattern)) {
        rest.push_back(pattern);
        continue;
      }
      if (group.members.empty() || offset < group.leastOffset) group.leastOffset = offset;
      group.members.emplace_back(pattern, offset);
    }
    groups_.push_back(std::move(group));
    left = std::move(rest);
  }
}

PatternSetScan::PatternSetScan(const PatternSet& set, std::string_view text)
    : set_(set), text_(text), found_(set.groups_.size()), searched_(set.groups_.size(), false) {}

PatternSetScan::Found PatternSetScan::findInGroup(const PatternSet::Group& group,
                                                  std::size_t from) const {
  Found best;
  if (!group.whole.empty()) {
    best.at = group.whole.front().find(text_, from);
    best.pattern = group.members.front().first;
    return best;
  }
  // A pattern standing at p holds the scanned byte first at p + its offset, and none
  // before it there: so a pattern found at a later hit stands after the earlier hit,
  // and the first hit where any pattern stands gives the first place.
  const char* data = text_.data();
  const std::size_t size = text_.size();
  for (std::size_t at = from + group.leastOffset; at < size; ++at) {
    const void* hit = std::memchr(data + at, group.scanned, size - at);
    if (hit == nullptr) break;
    at = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
    for (const auto& [pattern, offset] : group.members) {
      if (at < from + offset) continue;
      const std::size_t place = at - offset;
      if (place > best.at || (place == best.at && pattern > best.pattern)) continue;
      if (standsWith(text_, at, set_.patterns_[pattern], offset)) best = {place, pattern};
    }
    if (best.at != std::string_view::npos) break;
  }
  return best;
}

PatternSetScan::Found PatternSetScan::next(std::size_t from) {
  Found first;
  for (std::size_t g = 0; g < found_.size(); ++g) {
    // An occurrence found before stays the group's first as long as it lies ahead.
    Found& found = found_[g];
    if (!searched_[g] || (found.at != std::string_view::npos && found.at < from)) {
      found = findInGroup(set_.groups_[g], from);
      searched_[g] = true;
    }
    if (found.at == std::string_view::npos) continue;
    if (found.at < first.at || (found.at == first.at && found.pattern < first.pattern)) {
      first = found;
    }
  }
  return first;
}

}  // namespace vesk
