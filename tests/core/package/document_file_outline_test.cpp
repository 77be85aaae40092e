#include "package/document_file_outline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/cp932.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

// The outline of the whole file at once, as the reading in pieces must give it.
DocumentOutline wholeOutline(const std::string& bytes) {
  std::string text = decodeCp932(bytes);
  std::string lf;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lf += text[i];
  }
  return outlineDocument(lf);
}

void expectSame(const DocumentOutline& got, const DocumentOutline& expected) {
  EXPECT_EQ(got.wellFormed, expected.wellFormed);
  EXPECT_EQ(got.undecodedBytes, expected.undecodedBytes);
  ASSERT_EQ(got.data.size(), expected.data.size());
  for (std::size_t i = 0; i < got.data.size(); ++i) {
    EXPECT_EQ(got.data[i].name, expected.data[i].name) << i;
    EXPECT_EQ(got.data[i].size, expected.data[i].size) << i;
    EXPECT_EQ(got.data[i].paths, expected.data[i].paths) << i;
  }
  EXPECT_EQ(got.eventNames, expected.eventNames);
  EXPECT_EQ(got.drawGroupNames, expected.drawGroupNames);
}

const std::string kHead = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";
const std::string kRoot = "<NuvrelFile version=\"1.35\">\r\n";
const std::string kEnd = "</NuvrelFile>\r\n";

// Documents whose elements and names run across lines and pieces, read in pieces of
// every size from a few bytes up: the outline is the whole file's.
TEST(DocumentFileOutline, GivesTheWholeFilesOutlineWhateverThePieces) {
  const std::string escaped = "\x81\r\n";  // a lead byte without its pair, then a line end
  const std::vector<std::pair<const char*, std::string>> documents = {
      {"the golden seven-entry package", {}},
      {"elements over several lines",
       kHead + kRoot +
           "<data name=\"a\"\r\n size=\"1, 2\">\r\n<file path=\"00\\a.raw\" />\r\n"
           "<file path=\"00\\b.raw\" /></data>\r\n<drawGroup name=\"G\r\nH\">\r\nx\r\n"
           "</drawGroup>\r\n<event name=\"e\r\n1\" />\r\n<topGroup name=\"T\r\n\">\r\n" +
           kEnd},
      {"undecodable bytes in and out of elements",
       kHead + kRoot + "<data name=\"b\">" + escaped + "</data>\r\n<drawGroup name=\"g\">" +
           escaped + "</drawGroup>\r\n" + escaped + kEnd},
      {"undecodable bytes only inside elements", kHead + kRoot + "<data name=\"b\">" + escaped +
                                                     "</data>\r\n<drawGroup name=\"g\">" + escaped +
                                                     "</drawGroup>\r\n" + kEnd},
      {"a data element left open", kHead + kRoot + "<data name=\"c\">\r\n<file path=\"x\" />\r\n"},
      {"no line end at the end", kHead + kRoot + "</NuvrelFile>"},
      {"carriage returns alone, doubled and last",
       kHead + kRoot + "<data name=\"r\">\r\r\n<file path=\"a\rb.raw\" />\r</data>\r\n" +
           "<drawGroup name=\"g\r\">\r\n</drawGroup>\r\r\n" + kEnd + "\r"},
      {"no root", kHead + "<NuvrelFile version=\"1.34\">\r\n" + kEnd},
      {"empty", ""},
      {"one long line", kHead + kRoot + std::string(5000, 'x') + "<data name=\"d\"></data>" + kEnd},
  };
  vesk::test::TempDir dir;
  for (const auto& [what, given] : documents) {
    SCOPED_TRACE(what);
    std::string bytes = given;
    if (std::string(what) == "the golden seven-entry package") {
      vesk::test::TempDir golden;
      golden.copyFrom(
          std::string(VESK_TEST_DATA_DIR) + "/packages/seven-entries/expected/exhibition.nuv",
          "exhibition.nuv");
      bytes = golden.read("exhibition.nuv");
      ASSERT_FALSE(bytes.empty());
    }
    const std::string path = dir.write("exhibition.nuv", bytes);
    const DocumentOutline expected = wholeOutline(bytes);
    for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{64},
                                    std::size_t{1000}, kDocumentPieceBytes}) {
      SCOPED_TRACE(piece);
      const Result<DocumentOutline> got = outlineDocumentFile(path, piece);
      ASSERT_TRUE(got);
      expectSame(*got, expected);
    }
  }
}

TEST(DocumentFileOutline, RefusesWhatIsNoReadableFile) {
  vesk::test::TempDir dir;
  dir.makeFolder("folder");
  EXPECT_EQ(outlineDocumentFile(dir.file("folder")).failure().code, FailureCode::NotRegularFile);
  EXPECT_EQ(outlineDocumentFile(dir.file("missing")).failure().code, FailureCode::NotFound);
  // Far more events than any package's document holds: refused, not outlined whole.
  std::string events = kHead + kRoot;
  for (int i = 0; i < 250000; ++i) events += "<event name=\"e\" />\r\n";
  dir.write("events.nuv", events);
  EXPECT_EQ(outlineDocumentFile(dir.file("events.nuv"), 1 << 16).failure().code,
            FailureCode::ReadFailed);
  // A file that begins as a document and names no root where a document does is told
  // malformed from its first piece: its events are never outlined.
  dir.write("rootless.nuv", kHead + events.substr(kHead.size() + kRoot.size()));
  const Result<DocumentOutline> rootless = outlineDocumentFile(dir.file("rootless.nuv"), 1 << 16);
  ASSERT_TRUE(rootless);
  EXPECT_FALSE(rootless->wellFormed);
  EXPECT_TRUE(rootless->eventNames.empty());
}

}  // namespace
}  // namespace vesk
