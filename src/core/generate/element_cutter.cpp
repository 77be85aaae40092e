#include "generate/element_cutter.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace vesk {
namespace {

// Every position where `marker` occurs in text[from, end), overlapping ones too.
std::vector<std::size_t> occurrences(std::string_view text, std::string_view marker,
                                     std::size_t from) {
  std::vector<std::size_t> found;
  for (auto at = text.find(marker, from); at != std::string_view::npos;
       at = text.find(marker, at + 1)) {
    found.push_back(at);
  }
  return found;
}

// A stretch [begin, end) of the old text that was taken out.
struct Removal {
  std::size_t begin;
  std::size_t end;
};

// The positions of `marker` in the new text, given its ascending positions in the
// old one (those before removals.front() are left out) and the stretches taken out:
// markers that touch no removal move down, those that touched one are gone, and a
// marker can newly form across each place where text was taken out.
std::vector<std::size_t> remapMarkers(const std::vector<std::size_t>& old, std::string_view marker,
                                      const std::vector<Removal>& removals,
                                      std::string_view newText) {
  std::vector<std::size_t> result;
  std::size_t removed = 0;  // length taken out before the current removal
  // The markers formed across the place of a removal lie just before that place in
  // the new text, behind every marker found so far.
  const auto addJoined = [&](const Removal& removal) {
    const std::size_t join = removal.begin - removed;
    std::size_t q = join >= marker.size() - 1 ? join - (marker.size() - 1) : 0;
    if (!result.empty()) q = std::max(q, result.back() + 1);
    for (; q < join; ++q) {
      if (newText.compare(q, marker.size(), marker) == 0) result.push_back(q);
    }
    removed += removal.end - removal.begin;
  };
  std::size_t r = 0;
  for (const std::size_t p : old) {
    if (p < removals.front().begin) continue;
    while (r < removals.size() && removals[r].end <= p) addJoined(removals[r++]);
    if (r < removals.size() && p + marker.size() > removals[r].begin) continue;
    result.push_back(p - removed);
  }
  while (r < removals.size()) addJoined(removals[r++]);
  return result;
}

}  // namespace

ElementCutter::ElementCutter(std::string& text, std::string_view open, std::string_view close)
    : text_(text), open_(open), close_(close) {
  assert(!open_.empty() && !close_.empty());
  for (const std::size_t at : occurrences(text_, open_, 0)) {
    markers_.push_back({at, std::string::npos});
  }
  closes_ = occurrences(text_, close_, 0);
  pairMarkers();
}

void ElementCutter::pairMarkers() {
  auto close = closes_.begin();
  for (Marker& marker : markers_) {
    close = std::lower_bound(close, closes_.end(), marker.at + open_.size());
    marker.close = close == closes_.end() ? std::string::npos : *close;
  }
}

std::size_t ElementCutter::closeFrom(std::size_t from) const {
  const auto close = std::lower_bound(closes_.begin(), closes_.end(), from);
  return close == closes_.end() ? std::string::npos : *close;
}

void ElementCutter::closeGap() {
  if (keptEnd_ == rest_) return;
  const std::size_t restSize = text_.size() - rest_;
  std::memmove(text_.data() + keptEnd_, text_.data() + rest_, restSize);
  text_.resize(keptEnd_ + restSize);
  const std::size_t gap = rest_ - keptEnd_;
  for (Marker& marker : markers_) {
    marker.at -= gap;
    if (marker.close != std::string::npos) marker.close -= gap;
  }
  closes_.erase(closes_.begin(), std::lower_bound(closes_.begin(), closes_.end(), rest_));
  for (std::size_t& close : closes_) close -= gap;
  rest_ = keptEnd_;
}

std::vector<std::size_t> ElementCutter::markersAcrossGap() const {
  std::vector<std::size_t> found;
  const std::size_t longest = std::min(open_.size() - 1, keptEnd_);
  for (std::size_t before = longest; before > 0; --before) {
    const std::size_t after = open_.size() - before;
    if (text_.compare(keptEnd_ - before, before, open_.substr(0, before)) == 0 &&
        text_.compare(rest_, after, open_.substr(before)) == 0) {
      found.push_back(keptEnd_ - before);
    }
  }
  return found;
}

void ElementCutter::removeWithCopies(std::size_t begin, std::size_t length,
                                     const std::vector<std::size_t>& copies) {
  assert(keptEnd_ == rest_);
  std::vector<Removal> removals{{begin, begin + length}};
  for (const std::size_t at : copies) removals.push_back({at, at + length});

  // Compact the text over the removed stretches.
  char* data = text_.data();
  std::size_t write = begin;
  for (std::size_t i = 0; i < removals.size(); ++i) {
    const std::size_t from = removals[i].end;
    const std::size_t to = i + 1 < removals.size() ? removals[i + 1].begin : text_.size();
    std::memmove(data + write, data + from, to - from);
    write += to - from;
  }
  text_.resize(write);

  std::vector<std::size_t> opens;
  opens.reserve(markers_.size());
  for (const Marker& marker : markers_) opens.push_back(marker.at);
  opens = remapMarkers(opens, open_, removals, text_);
  closes_ = remapMarkers(closes_, close_, removals, text_);
  markers_.clear();
  for (const std::size_t at : opens) markers_.push_back({at, std::string::npos});
  pairMarkers();
  keptEnd_ = rest_ = begin;
}

std::string ElementCutter::next() {
  if (markers_.empty() || markers_.front().close == std::string::npos) {
    closeGap();
    return {};
  }
  const std::size_t begin = markers_.front().at;
  const std::size_t after = markers_.front().close + close_.size();
  const std::size_t length = after - begin;
  std::string element = text_.substr(begin, length);

  // A copy starts at an opening marker whose first closing marker ends the same
  // length after it; copies do not overlap, as a replacement finds them.
  std::vector<std::size_t> copies;
  std::size_t free = after;
  for (auto marker = markers_.begin() + 1; marker != markers_.end(); ++marker) {
    if (marker->close == std::string::npos) break;  // nor has any later marker
    if (marker->at < free || marker->close + close_.size() - marker->at != length) continue;
    if (text_.compare(marker->at, length, element) != 0) continue;
    copies.push_back(marker->at);
    free = marker->at + length;
  }
  if (!copies.empty()) {
    closeGap();
    const std::size_t shift = begin - markers_.front().at;  // what closing the gap moved
    for (std::size_t& at : copies) at -= shift;
    removeWithCopies(markers_.front().at, length, copies);
    return element;
  }

  // Take the element out: the text between the gap and the element joins the kept
  // text, and the gap grows over the element.
  if (keptEnd_ == rest_) {
    keptEnd_ = begin;
  } else {
    std::memmove(text_.data() + keptEnd_, text_.data() + rest_, begin - rest_);
    keptEnd_ += begin - rest_;
  }
  rest_ = after;
  while (!markers_.empty() && markers_.front().at < after) markers_.pop_front();

  // An opening marker joined across the gap starts a new element: close the gap and
  // put the new markers in front, each with the first closing marker after it (which
  // lies behind the gap, as the marker runs on there).
  const std::vector<std::size_t> joined = markersAcrossGap();
  if (!joined.empty()) {
    closeGap();
    for (const std::size_t at : joined) markers_.push_front({at, closeFrom(at + open_.size())});
  }
  return element;
}

}  // namespace vesk
