// Document assembly over one to three entries whose scenes hold pieces of the input
// (decoded from code page 932, as a scene is read); the document must encode in code
// page 932 again.
#include "base/cp932.h"
#include "base/text_file.h"
#include "format/exhibition_document.h"
#include "scratch_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t count = 1 + data[0] % 3;
  const std::string_view rest = vesk::fuzz::asText(data + 1, size - 1);
  const std::size_t piece = rest.size() / count;
  std::vector<vesk::DocumentEntry> entries;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view bytes =
        rest.substr(i * piece, i + 1 == count ? std::string_view::npos : piece);
    const std::string n = std::to_string(i);
    vesk::DocumentEntry entry;
    entry.sceneLines = vesk::splitTextLines(vesk::decodeCp932(bytes));
    entry.thumbnail = {"/p/" + n + "/" + n + ".png", static_cast<int>(bytes.size()), 1};
    entry.description = {"/p/" + n + "/missing.jpg", 0, 0};
    entries.push_back(entry);
  }
  std::vector<std::string> topGroupNames;
  const std::string document = vesk::assembleExhibitionDocument(entries, topGroupNames);
  if (!vesk::encodeCp932(document)) __builtin_trap();
  return 0;
}
