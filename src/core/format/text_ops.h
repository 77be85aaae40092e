#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/text_search.h"

namespace vesk {

// Plain text operations on scene text. Markers are exact, case-sensitive byte
// sequences; UTF-8 is self-synchronising, so a byte match is a character match.

// The smallest position at or after `start` where `pattern` occurs; nullopt when it
// does not occur there or `start` lies beyond the end of the text.
std::optional<std::size_t> findFrom(std::string_view text, std::string_view pattern,
                                    std::size_t start);

// Replaces every occurrence of `oldPattern` from left to right, without overlaps and
// without scanning inserted text again. An empty `oldPattern` changes nothing.
// Occurrences are looked for from `start` on; pass a later start only where none can
// stand before it. `newText` must not refer into `text`.
void replaceAll(std::string& text, std::string_view oldPattern, std::string_view newText,
                std::size_t start = 0);

// Inserts `insertion` after every occurrence of each of `patterns`, in one pass:
// what replaceAll(text, p, p + insertion) for each pattern in turn gives when no
// occurrence of one pattern can overlap another's or form across an insertion, as
// for attribute openers (a name, "=" and a double quote, the quote only at the
// end) with an insertion that holds no double quote. `insertion` must not refer
// into `text`.
void insertAfterEach(std::string& text, const std::vector<std::string_view>& patterns,
                     std::string_view insertion);

// Appends to `out` what insertAfterEach makes of `text`, which must not refer into
// `out`.
void appendInsertingAfterEach(std::string& out, std::string_view text,
                              const std::vector<std::string_view>& patterns,
                              std::string_view insertion);
// The same for patterns arranged once for many texts.
void appendInsertingAfterEach(std::string& out, std::string_view text, const PatternSet& patterns,
                              std::string_view insertion);

// The text from the first `open` through the end of the first `close` found after
// that marker; empty when either is missing.
std::string cutElement(std::string_view text, std::string_view open, std::string_view close);

// The characters between the end of the first occurrence of `pattern` (an attribute
// name, "=" and a double quote) and the next double quote; empty when the pattern
// or the closing quote is missing.
std::string attributeValue(std::string_view text, std::string_view pattern);

}  // namespace vesk
