// The bundled sample exhibition that `vesk-cli demo` builds: its manifest, scenes
// and pictures must make a complete two-page package.

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "base/path_terms.h"
#include "format/scene_scan.h"
#include "image/image_probe.h"
#include "model/entry_list.h"
#include "package/scene_files.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

const fs::path kSample = fs::path(VESK_DATA_DIR) / "sample";

struct SampleEntry {
  fs::path scene, thumbnail, description;
};

std::vector<SampleEntry> readManifest() {
  std::ifstream in(kSample / "entries.tsv");
  std::vector<SampleEntry> entries;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string scene, thumbnail, description;
    std::getline(fields, scene, '\t');
    std::getline(fields, thumbnail, '\t');
    std::getline(fields, description);
    entries.push_back({kSample / scene, kSample / thumbnail, kSample / description});
  }
  return entries;
}

std::string readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// True when every byte sequence of `bytes` decodes as code page 932.
bool isCp932(std::string bytes) {
#ifdef _WIN32
  // The system's own converter, independent of the one under test.
  return bytes.empty() || MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(),
                                              static_cast<int>(bytes.size()), nullptr, 0) > 0;
#else
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string out(bytes.size() * 3, '\0');
  char* in = bytes.data();
  char* to = out.data();
  std::size_t inLeft = bytes.size();
  std::size_t outLeft = out.size();
  const bool ok = iconv(cd, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  return ok && inLeft == 0;
#endif
}

bool hasOnlyCrLf(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
  }
  return !text.empty() && text.back() == '\n';
}

// The `name` of every draw group start tag.
std::vector<std::string> drawGroupNames(const std::string& text) {
  std::vector<std::string> names;
  const std::string attribute = "name=\"";
  for (auto p = text.find("<drawGroup"); p != std::string::npos;
       p = text.find("<drawGroup", p + 1)) {
    const std::string tag = text.substr(p, text.find('>', p) - p);
    const auto at = tag.find(attribute);
    if (at == std::string::npos) continue;
    const auto start = at + attribute.size();
    names.push_back(tag.substr(start, tag.find('"', start) - start));
  }
  return names;
}

TEST(SampleData, ManifestListsAtLeastSevenEntriesWhoseFilesExist) {
  const auto entries = readManifest();
  EXPECT_GE(entries.size(), 7u) << "fewer entries than two menu pages need";
  for (const auto& e : entries) {
    for (const auto& path : {e.scene, e.thumbnail, e.description})
      EXPECT_TRUE(fs::is_regular_file(path)) << path;
  }
}

TEST(SampleData, ScenesHoldDataFilesAFolderAndOneSurfaceGroup) {
  for (const auto& e : readManifest()) {
    SCOPED_TRACE(e.scene.string());
    const std::string scene = readBytes(e.scene);
    EXPECT_TRUE(isCp932(scene));
    EXPECT_TRUE(hasOnlyCrLf(scene));

    // The data as a create sees it.
    EntryList list;
    list.workingEntry() = {e.scene.string(), e.thumbnail.string(), e.description.string(), {}};
    list.appendWorkingEntry();
    scanSceneData(list, 0);
    int files = 0;
    int folders = 0;
    for (const auto& path : list.at(0).dataFiles) {
      if (extensionOf(path).empty()) {
        ++folders;
        EXPECT_TRUE(fs::is_directory(path)) << path;
        EXPECT_EQ(path.back(), kPathSeparator) << path;
      } else {
        ++files;
        EXPECT_TRUE(fs::is_regular_file(path)) << path;
      }
    }
    EXPECT_GE(files, 1);
    EXPECT_GE(folders, 1);

    const auto names = drawGroupNames(scene);
    EXPECT_EQ(std::count_if(names.begin(), names.end(),
                            [](const std::string& n) { return n.find("Sur") != n.npos; }),
              1);
  }
}

TEST(SampleData, ThumbnailsAreLandscapeAndDescriptionsPortrait) {
  for (const auto& e : readManifest()) {
    const Result<PictureSize> thumbnail = probeImageSize(e.thumbnail.string());
    ASSERT_TRUE(thumbnail.ok()) << e.thumbnail;
    EXPECT_GT(thumbnail->width, thumbnail->height) << e.thumbnail;
    const Result<PictureSize> description = probeImageSize(e.description.string());
    ASSERT_TRUE(description.ok()) << e.description;
    EXPECT_GT(description->height, description->width) << e.description;
  }
}

}  // namespace
}  // namespace vesk
