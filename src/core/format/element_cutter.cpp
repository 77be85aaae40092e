#include "format/element_cutter.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>

#include "format/text_search.h"

namespace vesk {
namespace {

constexpr std::size_t kNone = std::string::npos;

// A stretch [begin, end) of the old text that was taken out.
struct Removal {
  std::size_t begin;
  std::size_t end;
};

// The positions of `marker` in the new text, given its ascending positions old[from,
// end) in the old text (those before removals.front() are left out) and the
// stretches taken out: markers that touch no removal move down, those that touched
// one are gone, and a marker can newly form across each place where text was taken
// out. Written to `result`.
void remapMarkers(const std::vector<std::size_t>& old, std::size_t from, std::string_view marker,
                  const std::vector<Removal>& removals, std::string_view newText,
                  std::vector<std::size_t>& result) {
  result.clear();
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
  for (std::size_t i = from; i < old.size(); ++i) {
    const std::size_t p = old[i];
    if (p < removals.front().begin) continue;
    while (r < removals.size() && removals[r].end <= p) addJoined(removals[r++]);
    if (r < removals.size() && p + marker.size() > removals[r].begin) continue;
    result.push_back(p - removed);
  }
  while (r < removals.size()) addJoined(removals[r++]);
}

}  // namespace

ElementCutter::ElementCutter(std::string& text, std::string_view open, std::string_view close)
    : text_(text), open_(open), close_(close) {
  assert(!open_.empty() && !close_.empty());
  const PatternFinder opening(open_);
  const PatternFinder closing(close_);
  PatternFinder::findEvery(text_, {{opening, opens_}, {closing, closes_}});
  pairMarkers();
}

ElementCutter::ElementCutter(std::string& text, std::string_view open, std::string_view close,
                             std::vector<std::size_t> opens, std::vector<std::size_t> closes)
    : text_(text),
      open_(open),
      close_(close),
      opens_(std::move(opens)),
      closes_(std::move(closes)) {
  assert(!open_.empty() && !close_.empty());
  pairMarkers();
}

void ElementCutter::pairMarkers() {
  paired_.resize(opens_.size());
  std::size_t c = 0;
  for (std::size_t i = head_; i < opens_.size(); ++i) {
    while (c < closes_.size() && closes_[c] < opens_[i] + open_.size()) ++c;
    paired_[i] = c < closes_.size() ? closes_[c] : kNone;
  }
}

std::size_t ElementCutter::closeFrom(std::size_t from) const {
  const auto close = std::lower_bound(closes_.begin(), closes_.end(), from);
  return close == closes_.end() ? kNone : *close;
}

void ElementCutter::closeGap() {
  if (keptEnd_ == rest_) return;
  const std::size_t restSize = text_.size() - rest_;
  std::memmove(text_.data() + keptEnd_, text_.data() + rest_, restSize);
  text_.resize(keptEnd_ + restSize);
  const std::size_t gap = rest_ - keptEnd_;
  for (std::size_t i = head_; i < opens_.size(); ++i) {
    opens_[i] -= gap;
    if (paired_[i] != kNone) paired_[i] -= gap;
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

  remapMarkers(opens_, head_, open_, removals, text_, scratch_);
  opens_.swap(scratch_);
  head_ = 0;
  remapMarkers(closes_, 0, close_, removals, text_, scratch_);
  closes_.swap(scratch_);
  pairMarkers();
  keptEnd_ = rest_ = begin;
}

std::string ElementCutter::next() {
  std::string spare;
  return std::string(next(spare));
}

std::string_view ElementCutter::next(std::string& spare) {
  heldAnotherOpening_ = false;
  if (head_ == opens_.size() || paired_[head_] == kNone) {
    closeGap();
    return {};
  }
  const std::size_t begin = opens_[head_];
  const std::size_t after = paired_[head_] + close_.size();
  const std::size_t length = after - begin;
  heldAnotherOpening_ = head_ + 1 < opens_.size() && opens_[head_ + 1] < after;

  // A copy starts at an opening marker whose first closing marker ends the same
  // length after it; copies do not overlap, as a replacement finds them.
  std::vector<std::size_t> copies;
  std::size_t free = after;
  for (std::size_t i = head_ + 1; i < opens_.size(); ++i) {
    if (paired_[i] == kNone) break;  // nor has any later marker a closing one
    const std::size_t at = opens_[i];
    if (at < free || paired_[i] + close_.size() - at != length) continue;
    if (text_.compare(at, length, text_, begin, length) != 0) continue;
    copies.push_back(at);
    free = at + length;
  }
  if (!copies.empty()) {
    // The text is compacted over the element: it is kept aside first.
    spare.assign(text_, begin, length);
    closeGap();
    const std::size_t shift = begin - opens_[head_];  // what closing the gap moved
    for (std::size_t& at : copies) at -= shift;
    removeWithCopies(opens_[head_], length, copies);
    return spare;
  }

  // Take the element out: the text between the gap and the element joins the kept
  // text, and the gap grows over the element, whose bytes stay where they are until
  // the gap is closed or grows again.
  if (keptEnd_ == rest_) {
    keptEnd_ = begin;
  } else {
    std::memmove(text_.data() + keptEnd_, text_.data() + rest_, begin - rest_);
    keptEnd_ += begin - rest_;
  }
  rest_ = after;
  while (head_ < opens_.size() && opens_[head_] < after) ++head_;

  // An opening marker joined across the gap starts a new element: close the gap and
  // put the new markers in front, each with the first closing marker after it (which
  // lies behind the gap, as the marker runs on there).
  const std::vector<std::size_t> joined = markersAcrossGap();
  if (joined.empty()) return std::string_view(text_).substr(begin, length);
  spare.assign(text_, begin, length);  // closing the gap moves text over it
  closeGap();
  if (head_ < joined.size()) {
    const std::size_t room = joined.size() - head_;
    opens_.insert(opens_.begin(), room, 0);
    paired_.insert(paired_.begin(), room, 0);
    head_ += room;
  }
  for (std::size_t k = joined.size(); k-- > 0;) {
    --head_;
    opens_[head_] = joined[k];
    paired_[head_] = closeFrom(joined[k] + open_.size());
  }
  return spare;
}

}  // namespace vesk
