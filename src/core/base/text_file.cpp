#include "base/text_file.h"

#include <memory>

#include "base/atomic_file.h"
#include "base/cp932.h"
#include "base/file_system.h"
#include "base/utf8.h"

namespace vesk {
namespace {

// Size of the pieces in which text is encoded and written, so that a large document
// never exists a second time in full in its encoded form.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

// End of the piece that starts at `begin`: about kPieceSize further on, moved back
// to the start of a character.
std::size_t pieceEnd(std::string_view text, std::size_t begin) {
  if (text.size() - begin <= kPieceSize) return text.size();
  std::size_t end = begin + kPieceSize;
  for (int i = 0; i < 3 && isUtf8Continuation(text[end]); ++i) --end;
  return end;
}

}  // namespace

std::vector<std::string> splitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t lf = text.find('\n', start);
    const std::size_t next = lf == std::string::npos ? text.size() : lf + 1;
    if (lf == std::string::npos) lf = text.size();
    const std::size_t end = lf > start && lf < text.size() && text[lf - 1] == '\r' ? lf - 1 : lf;
    lines.emplace_back(text.substr(start, end - start));
    start = next;
  }
  return lines;
}

Result<std::vector<std::string>> readTextLines(const std::string& path) {
  Result<std::string> bytes = readFile(path);
  if (!bytes) return bytes.failure();
  return splitTextLines(decodeCp932(*bytes));
}

namespace {

// The writer of a text file's bytes, piece by piece, for writeFileAtomically.
ContentWriter textProducer(std::string_view utf8) {
  auto begin = std::make_shared<std::size_t>(0);
  return [utf8, begin](std::string& out) -> Result<bool> {
    const std::size_t end = pieceEnd(utf8, *begin);
    Status appended = appendCp932WithCrLf(utf8, *begin, end, out);
    if (!appended) return appended.failure();
    *begin = end;
    return *begin < utf8.size();
  };
}

}  // namespace

Status writeTextFile(const std::string& path, std::string_view utf8) {
  return writeFileAtomically(path, textProducer(utf8));
}

Status encodeTextFile(std::string_view utf8, const std::function<void(std::string_view)>& piece) {
  const ContentWriter produce = textProducer(utf8);
  std::string out;
  for (;;) {
    out.clear();
    const Result<bool> more = produce(out);
    if (!more) return more.failure();
    piece(out);
    if (!*more) return {};
  }
}

}  // namespace vesk
