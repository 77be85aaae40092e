#include "format/streamed_outline.h"

#include <cstring>

#include "format/text_search.h"

namespace vesk {

namespace {

constexpr std::string_view kDataOpen = "<data";
constexpr std::string_view kDataClose = "</data>";

bool startsAt(std::string_view text, std::size_t at, std::string_view marker) {
  return text.size() - at >= marker.size() && text.compare(at, marker.size(), marker) == 0;
}

}  // namespace

void StreamedOutline::add(std::string_view piece) {
  // The data markers and the event names are found by one scan of the piece for "<"
  // (their rarest byte), telling them apart by the bytes after it; each goes on from
  // where its last find ended, as separate scans would. Draw group names are looked
  // for by a scan of their own, for their rarer "G".
  constexpr std::size_t kNone = std::string_view::npos;
  std::size_t dataFrom = 0;  // where the next "<data" may start
  std::size_t open = kNone;  // the "<data" in this piece still waiting for its close
  std::size_t eventsFrom = resumeNames(events_, piece);
  const char* data = piece.data();
  for (std::size_t at = 0; at < piece.size(); ++at) {
    const void* hit = std::memchr(data + at, '<', piece.size() - at);
    if (hit == nullptr) break;
    at = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
    if (dataOpen_ || open != kNone) {
      // As outlineDocument: a data element runs to the first "</data>" after it.
      if (startsAt(piece, at, kDataClose)) {
        if (dataOpen_) {
          openData_.append(data, at);
          data_.push_back(outlineDataElement(openData_));
          std::string().swap(openData_);
          dataOpen_ = false;
        } else {
          data_.push_back(outlineDataElement(piece.substr(open, at - open)));
          open = kNone;
        }
        dataFrom = at;
      }
    } else if (at >= dataFrom && startsAt(piece, at, kDataOpen)) {
      open = at;
    }
    if (at >= eventsFrom && startsAt(piece, at, events_.open)) {
      eventsFrom = addName(events_, piece, at + events_.open.size());
    }
  }
  if (dataOpen_) {
    openData_ += piece;  // no "</data>" in the whole piece
  } else if (open != kNone) {
    dataOpen_ = true;
    openData_.assign(piece.substr(open));
  }
  addNames(groups_, piece);
}

void StreamedOutline::addNames(Names& names, std::string_view piece) {
  std::size_t pos = resumeNames(names, piece);
  const PatternFinder opens(names.open);
  for (std::size_t open = opens.find(piece, pos); open != std::string_view::npos;
       open = opens.find(piece, pos)) {
    pos = addName(names, piece, open + names.open.size());
  }
}

std::size_t StreamedOutline::resumeNames(Names& names, std::string_view piece) {
  if (!names.pending) return 0;
  const std::size_t end = piece.find('"');
  if (end == std::string_view::npos) {
    names.partial += piece;
    return std::string_view::npos;
  }
  names.partial.append(piece.data(), end);
  names.found.push_back(std::move(names.partial));
  names.partial.clear();
  names.pending = false;
  return end;
}

std::size_t StreamedOutline::addName(Names& names, std::string_view piece, std::size_t start) {
  const std::size_t end = piece.find('"', start);
  if (end == std::string_view::npos) {
    names.pending = true;
    names.partial.assign(piece.substr(start));
    return std::string_view::npos;
  }
  names.found.emplace_back(piece.substr(start, end - start));
  return end;
}

DocumentOutline StreamedOutline::take() {
  DocumentOutline outline;
  outline.data = std::move(data_);
  outline.eventNames = std::move(events_.found);
  outline.drawGroupNames = std::move(groups_.found);
  return outline;
}

}  // namespace vesk
