#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace vesk {

// Takes elements out of a text one after another: each call to `next` cuts the first
// element between the markers (as `cutElement` does) and removes every identical
// copy of it from the text (as `replaceAll` with the empty text does), so that the
// following call finds the next element.
//
// The result is exactly that of cutting from the start of the text and replacing over
// the whole text each time, but a large scene is neither searched again nor moved for
// every element: the cutter keeps the positions of the opening markers, compares an
// element only with the texts that start at one of them, and leaves a gap where it
// took elements out, closing it when it is done (at the latest when destroyed).
class ElementCutter {
 public:
  ElementCutter(std::string& text, std::string_view open, std::string_view close);
  ~ElementCutter() { closeGap(); }
  ElementCutter(const ElementCutter&) = delete;
  ElementCutter& operator=(const ElementCutter&) = delete;

  // The next element; empty when no complete element is left.
  std::string next();

 private:
  // Lists every opening marker at or after `from`; the gap must be closed.
  void indexMarkers(std::size_t from);
  // Moves the text behind the gap down, so that the string holds just the text.
  void closeGap();
  // The position where an opening marker begins in the kept text and runs on behind
  // the gap, or npos.
  std::size_t markerAcrossGap() const;

  std::string& text_;
  std::string_view open_;
  std::string_view close_;
  // The text is text_[0, keptEnd_) followed by text_[rest_, end); between them lies
  // the gap left by the elements taken out.
  std::size_t keptEnd_ = 0;
  std::size_t rest_ = 0;
  // Positions in text_ of the opening markers at or after rest_, ascending.
  std::deque<std::size_t> markers_;
};

}  // namespace vesk
