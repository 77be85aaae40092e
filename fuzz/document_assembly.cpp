// Document assembly over one to three entries whose scenes (and thumbnails) hold
// pieces of the input; the document must encode in code page 932.
#include "base/cp932.h"
#include "format/exhibition_document.h"
#include "scratch_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t count = 1 + data[0] % 3;
  const std::string_view rest = vesk::fuzz::asText(data + 1, size - 1);
  const std::size_t piece = rest.size() / count;
  std::vector<vesk::ExhibitionEntry> entries;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view bytes =
        rest.substr(i * piece, i + 1 == count ? std::string_view::npos : piece);
    const std::string n = std::to_string(i);
    vesk::ExhibitionEntry entry;
    entry.scenePath = vesk::fuzz::writeScratchFile(n + ".nuv", bytes);
    entry.thumbnailPath = vesk::fuzz::writeScratchFile(n + ".png", bytes);
    entry.descriptionPath = vesk::fuzz::scratchFolder() + "/missing.jpg";
    entries.push_back(entry);
  }
  std::vector<std::string> topGroupNames;
  vesk::DocumentProblems problems;
  const std::string document = vesk::assembleExhibitionDocument(entries, topGroupNames, problems);
  if (!vesk::encodeCp932(document)) __builtin_trap();
  return 0;
}
