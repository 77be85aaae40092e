#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// Takes elements out of a text one after another: each call to `next` cuts the first
// element between the markers (as `cutElement` does) and removes every identical
// copy of it from the text (as `replaceAll` with the empty text does), so that the
// following call finds the next element.
//
// The result is exactly that of cutting from the start of the text and replacing over
// the whole text each time, but a large scene is neither searched again nor moved for
// every element: the cutter lists the opening and closing markers once, with the
// first closing marker after each opening one, so that a copy of an element can only
// start at an opening marker whose element has the same length; it leaves a gap where
// it took elements out, closing it when it is done (at the latest when destroyed).
// Each call costs time linear in the text at most, whatever the text holds.
class ElementCutter {
 public:
  ElementCutter(std::string& text, std::string_view open, std::string_view close);
  // The same, given every position of `open` and of `close` in the text, ascending (as
  // PatternFinder::findEvery lists them), so that a caller that scans the text anyway
  // can find the markers in its own scan.
  ElementCutter(std::string& text, std::string_view open, std::string_view close,
                std::vector<std::size_t> opens, std::vector<std::size_t> closes);
  ~ElementCutter() { closeGap(); }
  ElementCutter(const ElementCutter&) = delete;
  ElementCutter& operator=(const ElementCutter&) = delete;

  // The next element; empty when no complete element is left.
  std::string next();

  // The same element as `next`, without copying it where that can be helped: the view
  // lies in the text's gap (or, when the element had to be copied before the text
  // moved, in `spare`, which the cutter overwrites). Valid until the next call or the
  // cutter's end, whichever comes first.
  std::string_view next(std::string& spare);

  // True when `next` would give an element.
  bool hasNext() const { return head_ < opens_.size() && paired_[head_] != std::string::npos; }

  // False when the element the last call gave (or none) holds no opening marker past
  // its own first byte, so that the element need not be searched for one; true when it
  // may (a marker that starts inside and runs past its end counts too).
  bool lastHeldAnotherOpening() const { return heldAnotherOpening_; }

 private:
  // Moves the text behind the gap down, so that the string holds just the text.
  void closeGap();
  // Positions where an opening marker begins in the kept text and runs on behind the
  // gap, ascending.
  std::vector<std::size_t> markersAcrossGap() const;
  // The first closing marker at or after `from` among closes_, or npos.
  std::size_t closeFrom(std::size_t from) const;
  // Takes the element [begin, begin + length) and its copies at `copies` out of the
  // (gapless) text and brings the marker lists up to date.
  void removeWithCopies(std::size_t begin, std::size_t length,
                        const std::vector<std::size_t>& copies);
  // Pairs every opening marker from head_ on with its first closing marker.
  void pairMarkers();

  std::string& text_;
  std::string_view open_;
  std::string_view close_;
  // The text is text_[0, keptEnd_) followed by text_[rest_, end); between them lies
  // the gap left by the elements taken out. The kept text holds no opening marker of
  // its own.
  std::size_t keptEnd_ = 0;
  std::size_t rest_ = 0;
  // The opening markers of the text are opens_[head_, end), ascending, at their place
  // in text_; paired_[i] is the first closing marker at or after the end of opens_[i]
  // (npos: none).
  std::vector<std::size_t> opens_;
  std::vector<std::size_t> paired_;
  std::size_t head_ = 0;
  bool heldAnotherOpening_ = false;
  // The closing markers at or after rest_ (and possibly some before it), ascending.
  std::vector<std::size_t> closes_;
  // Room for the lists rebuilt when copies are taken out.
  std::vector<std::size_t> scratch_;
};

}  // namespace vesk
