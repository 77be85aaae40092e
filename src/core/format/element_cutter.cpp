#include "format/element_cutter.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "format/text_ops.h"

namespace vesk {

ElementCutter::ElementCutter(std::string& text, std::string_view open, std::string_view close)
    : text_(text), open_(open), close_(close) {
  assert(!open_.empty());
  indexMarkers(0);
}

void ElementCutter::indexMarkers(std::size_t from) {
  assert(keptEnd_ == rest_);
  markers_.clear();
  for (auto at = findFrom(text_, open_, from); at; at = findFrom(text_, open_, *at + 1)) {
    markers_.push_back(*at);
  }
}

void ElementCutter::closeGap() {
  if (keptEnd_ == rest_) return;
  const std::size_t restSize = text_.size() - rest_;
  std::memmove(text_.data() + keptEnd_, text_.data() + rest_, restSize);
  text_.resize(keptEnd_ + restSize);
  const std::size_t gap = rest_ - keptEnd_;
  for (auto& marker : markers_) marker -= gap;
  rest_ = keptEnd_;
}

std::size_t ElementCutter::markerAcrossGap() const {
  const std::size_t longest = std::min(open_.size() - 1, keptEnd_);
  for (std::size_t before = longest; before > 0; --before) {
    const std::size_t after = open_.size() - before;
    if (text_.compare(keptEnd_ - before, before, open_.substr(0, before)) == 0 &&
        text_.compare(rest_, after, open_.substr(before)) == 0) {
      return keptEnd_ - before;
    }
  }
  return std::string::npos;
}

std::string ElementCutter::next() {
  const auto end =
      markers_.empty() ? std::nullopt : findFrom(text_, close_, markers_.front() + open_.size());
  if (!end) {
    closeGap();
    return {};
  }
  const std::size_t begin = markers_.front();
  std::string element = text_.substr(begin, *end + close_.size() - begin);
  const std::size_t after = begin + element.size();

  // Every copy of the element starts with an opening marker behind it.
  const bool copied = std::any_of(markers_.begin() + 1, markers_.end(), [&](std::size_t at) {
    return at >= after && text_.compare(at, element.size(), element) == 0;
  });
  if (copied) {
    // Rare: remove the element and its copies as a replacement does, and index anew.
    // New markers can form only across the places taken out, none before `begin`.
    closeGap();
    const std::size_t first = markers_.front();
    replaceAll(text_, element, "", first);
    indexMarkers(first >= open_.size() - 1 ? first - (open_.size() - 1) : 0);
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
  while (!markers_.empty() && markers_.front() < after) markers_.pop_front();

  // An opening marker joined across the gap starts a new element: close the gap and
  // index the markers from there.
  const std::size_t joined = markerAcrossGap();
  if (joined != std::string::npos) {
    closeGap();
    indexMarkers(joined);
  }
  return element;
}

}  // namespace vesk
