#include "format/streamed_outline.h"

#include "format/text_search.h"

namespace vesk {

namespace {

constexpr std::string_view kDataOpen = "<data";
constexpr std::string_view kDataClose = "</data>";

}  // namespace

void StreamedOutline::add(std::string_view piece) {
  const PatternFinder opens(kDataOpen);
  const PatternFinder closes(kDataClose);
  std::size_t pos = 0;
  if (dataOpen_) {
    const std::size_t close = closes.find(piece, 0);
    if (close == std::string_view::npos) {
      openData_ += piece;
    } else {
      openData_.append(piece.data(), close);
      data_.push_back(outlineDataElement(openData_));
      std::string().swap(openData_);
      dataOpen_ = false;
      pos = close;
    }
  }
  // As outlineDocument: each "<data" runs to the first "</data>" after it, and the
  // next is looked for from there.
  while (!dataOpen_) {
    const std::size_t open = opens.find(piece, pos);
    if (open == std::string_view::npos) break;
    const std::size_t close = closes.find(piece, open);
    if (close == std::string_view::npos) {
      dataOpen_ = true;
      openData_.assign(piece.substr(open));
      break;
    }
    data_.push_back(outlineDataElement(piece.substr(open, close - open)));
    pos = close;
  }
  addNames(events_, piece);
  addNames(groups_, piece);
}

void StreamedOutline::addNames(Names& names, std::string_view piece) {
  std::size_t pos = 0;
  if (names.pending) {
    const std::size_t end = piece.find('"');
    if (end == std::string_view::npos) {
      names.partial += piece;
      return;
    }
    names.partial.append(piece.data(), end);
    names.found.push_back(std::move(names.partial));
    names.partial.clear();
    names.pending = false;
    pos = end;
  }
  const PatternFinder opens(names.open);
  for (std::size_t open = opens.find(piece, pos); open != std::string_view::npos;
       open = opens.find(piece, pos)) {
    const std::size_t start = open + names.open.size();
    const std::size_t end = piece.find('"', start);
    if (end == std::string_view::npos) {
      names.pending = true;
      names.partial.assign(piece.substr(start));
      return;
    }
    names.found.emplace_back(piece.substr(start, end - start));
    pos = end;
  }
}

DocumentOutline StreamedOutline::take() {
  DocumentOutline outline;
  outline.data = std::move(data_);
  outline.eventNames = std::move(events_.found);
  outline.drawGroupNames = std::move(groups_.found);
  return outline;
}

}  // namespace vesk
