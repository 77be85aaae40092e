#include "package/document_file_outline.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "base/cp932.h"
#include "base/file_kind.h"
#include "base/file_system.h"
#include "format/text_ops.h"

namespace vesk {

namespace {

constexpr std::string_view kHead = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"";
constexpr std::string_view kRoot = "\n<NuvrelFile version=\"1.35\">\n";
constexpr std::string_view kEnd = "</NuvrelFile>\n";

// More elements and names than any package's document holds (99 entries of at most
// 100 data elements and 100 draw groups, their pictures, events and menu pages, many
// times over): a file of more is no such document, and its outline is not kept whole.
constexpr std::size_t kMaxOutlined = 200000;

// The text without every element from `open` through the first `close` after it, as
// the outline leaves them out when it looks for undecoded bytes; `open` set when the
// last one is not closed.
std::string withoutElements(std::string_view text, std::string_view open, std::string_view close,
                            bool& leftOpen) {
  std::string kept;
  std::size_t pos = 0;
  leftOpen = false;
  while (const auto start = findFrom(text, open, pos)) {
    kept += text.substr(pos, *start - pos);
    const auto end = findFrom(text, close, *start + open.size());
    if (!end) {
      leftOpen = true;
      return kept;
    }
    pos = *end + close.size();
  }
  kept += text.substr(pos);
  return kept;
}

// True when the outline's reading of the values after `open` (each up to the next
// quote) would run past the end of the text.
bool leavesValueOpen(std::string_view text, std::string_view open) {
  std::size_t pos = 0;
  while (const auto found = findFrom(text, open, pos)) {
    const std::size_t end = text.find('"', *found + open.size());
    if (end == std::string_view::npos) return true;
    pos = end;
  }
  return false;
}

// True when the text, outlined on its own, reads exactly what it reads as the start
// of a longer text: no element or name the outline reads runs past its end.
bool closesEverything(std::string_view text) {
  if (leavesDataOpen(text) || leavesValueOpen(text, "<event name=\"") ||
      leavesValueOpen(text, "<drawGroup name=\"")) {
    return false;
  }
  bool open = false;
  const std::string noData = withoutElements(text, "<data", "</data>", open);
  if (open) return false;
  const std::string noGroups = withoutElements(noData, "<drawGroup", "</drawGroup>", open);
  if (open) return false;
  withoutElements(noGroups, "<topGroup name=\"", "\"", open);
  return !open;
}

// Where each element from `open` through the first `close` after it lies, as a run
// [start, end); one left open runs to the end of the text.
void addRuns(std::string_view text, std::string_view open, std::string_view close,
             std::vector<std::pair<std::size_t, std::size_t>>& runs) {
  std::size_t pos = 0;
  while (const auto start = findFrom(text, open, pos)) {
    const auto end = findFrom(text, close, *start + open.size());
    if (!end) {
      runs.emplace_back(*start, text.size());
      return;
    }
    pos = *end + close.size();
    runs.emplace_back(*start, pos);
  }
}

// The end of the last line of `text` that no element or name the outline reads runs
// across (0 when there is none): where a cut is worth checking with closesEverything.
std::size_t lastCutCandidate(std::string_view text) {
  std::vector<std::pair<std::size_t, std::size_t>> runs;
  addRuns(text, "<data", "</data>", runs);
  addRuns(text, "<drawGroup", "</drawGroup>", runs);
  addRuns(text, "<topGroup name=\"", "\"", runs);
  addRuns(text, "<event name=\"", "\"", runs);
  std::sort(runs.begin(), runs.end());
  std::vector<std::pair<std::size_t, std::size_t>> merged;
  for (const auto& run : runs) {
    if (!merged.empty() && run.first < merged.back().second) {
      merged.back().second = std::max(merged.back().second, run.second);
    } else {
      merged.push_back(run);
    }
  }
  // From the back: the last line end between two runs (or before the first).
  std::size_t end = text.size();
  for (auto it = merged.rbegin();; ++it) {
    const std::size_t from = it == merged.rend() ? 0 : it->second;
    if (from < end) {
      const std::size_t lineEnd = text.substr(0, end).rfind('\n');
      if (lineEnd != std::string_view::npos && lineEnd >= from) return lineEnd + 1;
    }
    if (it == merged.rend()) return 0;
    end = it->first;
  }
}

// False when `bytes`, the first read of a file, show it is no document: it does not
// begin with the document's head, or names no NuvrelFile 1.35 root within its first
// 64 KiB (a document names it on its second line). Such a file is told malformed
// without reading the rest. True while too little was read to tell.
bool startsAsDocument(std::string_view bytes) {
  constexpr std::size_t kRootWithin = std::size_t{64} << 10;
  static constexpr std::string_view kRootTag = "<NuvrelFile version=\"1.35\">";
  if (bytes.size() < kRootWithin) return true;
  return bytes.substr(0, kHead.size()) == kHead &&
         bytes.substr(0, kRootWithin).find(kRootTag) != std::string_view::npos;
}

// Code page 932 decoded, CR LF read as LF; `bytes` is cut only after a line feed, which
// is never the second byte of a pair.
std::string decodedLines(std::string_view bytes) {
  // One pass that drops each CR before an LF as it decodes, rather than a second pass
  // over the text: a sixth of the time on a document of 100 MiB.
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 8);
  Cp932PieceDecoder decoder(true);
  decoder.add(bytes, text);
  decoder.finish(text);
  return text;
}

class PartwiseOutline {
 public:
  // Adds decoded text; outlines what can be cut off. `last`: the text ends here.
  void add(std::string text, bool last) {
    carried_ += text;
    if (last) {
      outlinePart(carried_.size());
      return;
    }
    // A cut is tried once the text carried has doubled since the last try, so that a
    // long element costs a few reads of it, not one per piece.
    if (carried_.size() < nextTry_) return;
    const std::size_t cut = lastCutCandidate(carried_);
    if (cut > 0 && closesEverything(std::string_view(carried_).substr(0, cut))) {
      outlinePart(cut);
      nextTry_ = 0;
    } else {
      nextTry_ = carried_.size() * 2;
    }
  }

  std::size_t carried() const { return carried_.size(); }

  // The elements and names outlined so far, of every kind.
  std::size_t outlined() const {
    return outline_.data.size() + outline_.eventNames.size() + outline_.drawGroupNames.size();
  }

  DocumentOutline finish() {
    outline_.wellFormed = head_ && root_ && !dataLeftOpen_ && tail_.size() >= kEnd.size() &&
                          std::string_view(tail_).substr(tail_.size() - kEnd.size()) == kEnd;
    return std::move(outline_);
  }

 private:
  void outlinePart(std::size_t size) {
    const std::string_view part = std::string_view(carried_).substr(0, size);
    if (seen_ == 0) head_ = part.substr(0, kHead.size()) == kHead;
    // The root's line may start with the line end that closed the part before.
    if (!root_) {
      const std::string edge = tail_.empty() ? std::string() : tail_.substr(tail_.size() - 1);
      root_ = (edge + std::string(part.substr(0, kRoot.size()))).find(kRoot) != std::string::npos ||
              part.find(kRoot) != std::string_view::npos;
    }
    // Only the last part can leave a data element open: the whole is then malformed.
    dataLeftOpen_ = dataLeftOpen_ || leavesDataOpen(part);
    DocumentOutline next = outlineDocument(part);
    appendOutline(outline_, std::move(next));
    seen_ += part.size();
    tail_ += part.substr(part.size() > kEnd.size() ? part.size() - kEnd.size() : 0);
    if (tail_.size() > kEnd.size()) tail_.erase(0, tail_.size() - kEnd.size());
    carried_.erase(0, size);
  }

  DocumentOutline outline_;
  std::string carried_;
  std::size_t nextTry_ = 0;
  std::size_t seen_ = 0;
  std::string tail_;  // the last characters outlined
  bool head_ = false;
  bool root_ = false;
  bool dataLeftOpen_ = false;
};

}  // namespace

Result<DocumentOutline> outlineDocumentFile(const std::string& path, std::size_t pieceBytes) {
  // Pipes and devices are not opened (they may block); links are followed as a read
  // of the file follows them.
  const Result<FileKind> kind = fileKindOf(path);
  if (!kind) return kind.failure();
  if (*kind == FileKind::Missing) return makeFailure(FailureCode::NotFound, path);
  if (*kind != FileKind::Regular) return makeFailure(FailureCode::NotRegularFile, path);
  errno = 0;
  std::ifstream in(toOpenablePath(path), std::ios::binary);
  if (!in) return makeFailure(FailureCode::ReadFailed, path, errno);
  PartwiseOutline outline;
  std::string bytes;  // read and not yet decoded: what follows the last line feed
  // Not zero-filled: a small document touches only the pages its bytes are read into,
  // where clearing a whole piece first cost a replace several milliseconds.
  const std::unique_ptr<char[]> piece(new char[pieceBytes]);
  bool first = true;
  for (;;) {
    in.read(piece.get(), static_cast<std::streamsize>(pieceBytes));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (in.bad()) return makeFailure(FailureCode::ReadFailed, path);
    const bool last = got < pieceBytes;
    bytes.append(piece.get(), got);
    if (first && !last && !startsAsDocument(bytes)) return DocumentOutline{};
    first = false;
    // What was carried holds no line feed: only the piece just read is searched, so
    // that a long line costs one pass, not one per piece.
    const std::size_t inPiece = std::string_view(bytes).substr(bytes.size() - got).rfind('\n');
    const std::size_t lineEnd = last ? bytes.size()
                                : inPiece == std::string_view::npos
                                    ? 0
                                    : bytes.size() - got + inPiece + 1;
    if (lineEnd > 0 || last) {
      outline.add(decodedLines(std::string_view(bytes).substr(0, lineEnd)), last);
      bytes.erase(0, lineEnd);
    }
    if (last) break;
    if (outline.carried() + bytes.size() > kMaxReadBytes || outline.outlined() > kMaxOutlined) {
      return makeFailure(FailureCode::ReadFailed, path, EFBIG);
    }
  }
  return outline.finish();
}

}  // namespace vesk
