#include "format/streamed_outline.h"

#include <cstring>

namespace vesk {

namespace {

constexpr std::string_view kDataOpen = "<data";
constexpr std::string_view kDataClose = "</data>";

// True when `marker` (of two bytes or more, the first found at `at`) stands at `at`:
// its second byte first, which turns most tags away without a call.
bool startsAt(std::string_view text, std::size_t at, std::string_view marker) {
  return text.size() - at >= marker.size() && text[at + 1] == marker[1] &&
         std::memcmp(text.data() + at, marker.data(), marker.size()) == 0;
}

}  // namespace

void StreamedOutline::add(std::string_view piece) {
  // The data markers, the event names and the draw group names are found by one scan
  // of the piece for "<" (the first byte of each), telling them apart by the bytes
  // after it; each goes on from where its last find ended, as separate scans would.
  constexpr std::size_t kNone = std::string_view::npos;
  std::size_t dataFrom = 0;  // where the next "<data" may start
  std::size_t open = kNone;  // the "<data" in this piece still waiting for its close
  std::size_t eventsFrom = resumeNames(events_, piece);
  std::size_t groupsFrom = resumeNames(groups_, piece);
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
    if (at >= groupsFrom && startsAt(piece, at, groups_.open)) {
      groupsFrom = addName(groups_, piece, at + groups_.open.size());
    }
  }
  if (dataOpen_) {
    openData_ += piece;  // no "</data>" in the whole piece
  } else if (open != kNone) {
    dataOpen_ = true;
    openData_.assign(piece.substr(open));
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
