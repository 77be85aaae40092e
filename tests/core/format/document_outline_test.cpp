#include "format/document_outline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vesk {
namespace {

// Each data element as one line: its name, size and paths.
std::vector<std::string> lines(const std::vector<DataElement>& elements) {
  std::vector<std::string> out;
  for (const auto& element : elements) {
    std::string line = element.name + " | " + element.size;
    for (const auto& path : element.paths) line += " | " + path;
    out.push_back(line);
  }
  return out;
}

// A document outlined part by part (its merged scenes one by one, then its own
// parts) gives the outline of the whole document.
TEST(DocumentOutline, PartsOfWholeElementsOutlineAsTheWholeDocument) {
  const std::string head =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\" standalone=\"yes\"?>\n"
      "<NuvrelFile version=\"1.35\">\n\n<body>\n";
  const std::string tail =
      "\n<data name=\"me00\" size=\"4, 3\" ><file path=\"00\\t.jpg\" /></data>\n"
      "<event name=\"goto_ob00\" >\n<topGroup name=\"00_Sur\xF4\x8F\xBE\x81\" /></event>\n"
      "<drawGroup name=\"ex00\" ></drawGroup>\n</body>\n</NuvrelFile>\n";
  const std::string undecoded = "\xF4\x8F\xBE\x81";  // an escaped byte 0x81
  struct Case {
    const char* what;
    std::vector<std::string> scenes;  // merged scenes, each of whole elements
  };
  const std::vector<Case> cases = {
      {"no scene text", {"", ""}},
      {"data and groups",
       {"<data name=\"00_a\" size=\"1,2\"><file path=\"00\\a\" /><file path=\"00\\b\" /></data>\n"
        "<drawGroup name=\"00_Sur\" ></drawGroup>\n",
        "<drawGroup name=\"01_g\" ><event name=\"inner\" /></drawGroup>\n"}},
      {"undecoded bytes inside elements only",
       {"<data name=\"00_" + undecoded + "\"></data>\n",
        "<drawGroup name=\"01_" + undecoded + "\" ></drawGroup>\n"}},
      {"a group holding a data element",
       {"<drawGroup name=\"00_g\" ><data name=\"x\"><file path=\"p\" /></data></drawGroup>\n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string whole = head;
    std::string frame = head;
    DocumentOutline parts;
    for (const auto& scene : c.scenes) {
      whole += scene + "\n";
      frame += "\n";
      appendOutline(parts, outlineDocument(scene));
    }
    whole += tail;
    frame += tail;
    const DocumentOutline own = outlineDocument(frame);
    parts.wellFormed = own.wellFormed;
    appendOutline(parts, own);

    const DocumentOutline expected = outlineDocument(whole);
    EXPECT_EQ(parts.wellFormed, expected.wellFormed);
    EXPECT_EQ(parts.undecodedBytes, expected.undecodedBytes);
    EXPECT_EQ(lines(parts.data), lines(expected.data));
    EXPECT_EQ(parts.eventNames, expected.eventNames);
    EXPECT_EQ(parts.drawGroupNames, expected.drawGroupNames);
  }
}

}  // namespace
}  // namespace vesk
