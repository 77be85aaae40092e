// The element cutter and the text replacement against the plain loops they stand
// for: cutting from the start and replacing over the whole text each time.
#include <string>
#include <vector>

#include "format/element_cutter.h"
#include "format/text_ops.h"
#include "scratch_files.h"

namespace {

void plainReplaceAll(std::string& text, const std::string& oldPattern, const std::string& with) {
  if (oldPattern.empty()) return;
  std::string result;
  std::size_t at = 0;
  while (at < text.size()) {
    if (text.compare(at, oldPattern.size(), oldPattern) == 0) {
      result += with;
      at += oldPattern.size();
    } else {
      result += text[at++];
    }
  }
  text = result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 4096) return 0;
  const bool groups = (data[0] & 1) != 0;
  const std::string open = groups ? "<drawGroup" : "<data";
  const std::string close = groups ? "</drawGroup>" : "</data>";
  const std::string text(vesk::fuzz::asText(data + 1, size - 1));

  std::string cut = text;
  std::vector<std::string> elements;
  {
    vesk::ElementCutter cutter(cut, open, close);
    for (std::string e = cutter.next(); !e.empty(); e = cutter.next()) elements.push_back(e);
  }
  std::string plain = text;
  for (const std::string& expected : elements) {
    if (vesk::cutElement(plain, open, close) != expected) __builtin_trap();
    plainReplaceAll(plain, expected, "");
  }
  if (!vesk::cutElement(plain, open, close).empty() || plain != cut) __builtin_trap();

  // replaceAll with a pattern taken from the text itself, which may overlap itself.
  const std::size_t patternLength = data[0] >> 1;
  if (patternLength <= text.size()) {
    const std::string pattern = text.substr(0, patternLength);
    std::string replaced = text;
    std::string expected = text;
    vesk::replaceAll(replaced, pattern, "<x>");
    plainReplaceAll(expected, pattern, "<x>");
    if (replaced != expected) __builtin_trap();
  }
  return 0;
}
