#include "package/package_reimport.h"
#include "messages/messages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "package/build_command.h"
#include "package/file_role.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

const std::string kPictures = std::string(VESK_TEST_DATA_DIR) + "/pictures/";
const std::string kLandscape = kPictures + "landscape-320x240.jpg";
const std::string kPortrait = kPictures + "portrait-480x640.png";

class PackageReimport : public ::testing::Test {
 protected:
  // Puts a picture or an empty scene at pkg/<relative>.
  void put(const std::string& relative, const std::string& picture = "") {
    if (picture.empty()) {
      dir.write("pkg/" + relative, "");
    } else {
      dir.copyFrom(picture, "pkg/" + relative);
    }
  }
  // A complete numbered folder.
  void folder(const std::string& nn) {
    put(nn + "/s.nuv");
    put(nn + "/t.jpg", kLandscape);
    put(nn + "/d.png", kPortrait);
  }
  void reimport(const std::string& document = "pkg/exhibition.nuv") {
    reimportPackage(dir.file(document), list, sink);
  }
  ExhibitionEntry packaged(const std::string& nn, const std::string& scene = "s.nuv",
                           const std::string& thumbnail = "t.jpg",
                           const std::string& description = "d.png") {
    const std::string base = dir.file("pkg/" + nn + "/");
    return {base + scene, base + thumbnail, base + description, {}};
  }

  vesk::test::TempDir dir;
  vesk::test::RecordingSink sink;
  EntryList list;
};

TEST_F(PackageReimport, APackageMadeByTheCreateCommandRoundTripsInOrder) {
  const char* names[] = {"heart", "lung", "bone"};
  for (const char* name : names) {
    const std::string folder = std::string("src/") + name + "/";
    dir.write(folder + name + ".nuv", "<drawGroup name=\"Sur\" ></drawGroup>\r\n");
    dir.copyFrom(kLandscape, folder + name + "_t.jpg");
    dir.copyFrom(kPortrait, folder + name + "_d.png");
    list.workingEntry() = {dir.file(folder + name + ".nuv"),
                           dir.file(folder + name + "_t.jpg"),
                           dir.file(folder + name + "_d.png"),
                           {}};
    list.appendWorkingEntry();
  }
  dir.copyFrom(std::string(VESK_DATA_DIR) + "/up.jpg", "program/up.jpg");
  dir.copyFrom(std::string(VESK_DATA_DIR) + "/down.jpg", "program/down.jpg");
  CreateRequest request;
  request.entries = list.entries();
  request.destination = dir.file("pkg");
  request.programFolder = dir.file("program");
  ASSERT_EQ(createPackage(request, sink).status, BuildStatus::Written);

  EntryList reimported;
  reimported.workingEntry().dataFiles = {"kept"};
  reimportPackage(dir.file("pkg/exhibition.nuv"), reimported, sink);
  ASSERT_EQ(reimported.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const std::string nn = "0" + std::to_string(i);
    const std::string name = names[i];
    EXPECT_EQ(reimported.at(i), (ExhibitionEntry{dir.file("pkg/" + nn + "/" + name + ".nuv"),
                                                 dir.file("pkg/" + nn + "/" + name + "_t.jpg"),
                                                 dir.file("pkg/" + nn + "/" + name + "_d.png"),
                                                 {"kept"}}));
  }
  EXPECT_EQ(reimported.currentIndex(), 0);
  EXPECT_EQ(sink.messages.size(), 1u);  // only the create's success message
}

// Every file below `folder`, by its path relative to it, with its bytes.
std::map<std::string, std::string> filesBelow(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    if (!item.is_regular_file()) continue;
    std::ifstream in(item.path(), std::ios::binary);
    files[fs::relative(item.path(), folder).generic_string()] =
        std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

TEST_F(PackageReimport, APackageBuiltAgainFromItselfHoldsTheSameEntryFiles) {
  // A scene's copy keeps the values its source had; the data lie where the document
  // names them, a value leading out of the scene's folder by its last component.
  struct Case {
    const char* value;
    const char* data;  // below src/, for the scene in src/e/
  };
  const Case cases[] = {
      {"m\\mesh.obj", "e/m/mesh.obj"},
      {"..\\x.raw", "x.raw"},
      {"..\\up.jpg", "up.jpg"},  // no button image of the package stands in for it
      {"..\\ct\\", "ct/a.dcm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    dir.clear();
    dir.write("src/e/s.nuv", std::string("<data name=\"v\" ><file path=\"") + c.value +
                                 "\" /></data>\r\n<drawGroup name=\"Surface\" ></drawGroup>\r\n");
    dir.write(std::string("src/") + c.data, std::string("data of ") + c.value);
    dir.copyFrom(kLandscape, "src/e/t.jpg");
    dir.copyFrom(kPortrait, "src/e/d.png");
    CreateRequest request;
    request.entries = {
        {dir.file("src/e/s.nuv"), dir.file("src/e/t.jpg"), dir.file("src/e/d.png"), {}}};
    request.destination = dir.file("first");
    request.programFolder = VESK_DATA_DIR;
    ASSERT_EQ(createPackage(request, sink).status, BuildStatus::Written);

    EntryList reimported;
    reimportPackage(dir.file("first/exhibition.nuv"), reimported, sink);
    request.entries = reimported.entries();
    request.destination = dir.file("again");
    ASSERT_EQ(createPackage(request, sink).status, BuildStatus::Written) << sink.messages.back();
    EXPECT_EQ(filesBelow(dir.file("again/00")), filesBelow(dir.file("first/00")));
    EXPECT_EQ(dir.read("again/exhibition.nuv"), dir.read("first/exhibition.nuv"));
  }
}

TEST_F(PackageReimport, RolesFollowExtensionAndShapeWhateverTheLetterCase) {
  put("00/SCENE.NUV");
  put("00/A.JPG", kLandscape);
  put("00/b.Png", kPortrait);
  put("00/notes.txt");
  put("00/vol.raw");
  fs::create_directories(dir.file("pkg/00/sub.jpg"));
  fs::create_directories(dir.file("pkg/00/zz.nuv"));  // sorts last, but is no scene
  put("01/s.nuv");
  put("01/square.png", kPictures + "square-100x100.png");
  put("01/tall.png", kPictures + "tall-600x601.png");
  reimport();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list.at(0), packaged("00", "SCENE.NUV", "A.JPG", "b.Png"));
  EXPECT_EQ(list.at(1), packaged("01", "s.nuv", "square.png", "tall.png"));
  EXPECT_TRUE(sink.messages.empty());
}

TEST_F(PackageReimport, ThePathThatSortsLastWinsEachRole) {
  struct Case {
    std::vector<std::string> scenes;
    std::string winner;
  };
  for (const Case& c : {Case{{"a.nuv", "b.nuv"}, "b.nuv"}, Case{{"B.nuv", "a.nuv"}, "a.nuv"}}) {
    dir.clear();
    folder("00");
    fs::remove(dir.file("pkg/00/s.nuv"));
    for (const auto& scene : c.scenes) put("00/" + scene);
    reimport();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.at(0).scenePath, dir.file("pkg/00/" + c.winner));
  }
  // A landscape texture among the data files that sorts after the thumbnail wins.
  put("00/texture.jpg", kLandscape);
  reimport();
  EXPECT_EQ(list.at(0).thumbnailPath, dir.file("pkg/00/texture.jpg"));
}

// The name taken for a role is the last of that role as a folder listing sorts names:
// by UTF-16 code units, where a character beyond U+FFFF sorts before full-width forms.
TEST(ReimportedName, IsTheLastOfItsRoleInUtf16Order) {
  const auto thumbnails = [](std::vector<std::string> names) {
    std::vector<NamedRole> roles;
    for (auto& name : names) roles.push_back({std::move(name), FileRole::Thumbnail});
    return roles;
  };
  EXPECT_EQ(reimportedName(thumbnails({"Z.jpg", "t.jpg", "a.jpg"}), FileRole::Thumbnail), "t.jpg");
  EXPECT_EQ(reimportedName(thumbnails({"ｔ.jpg", "t.jpg"}), FileRole::Thumbnail), "ｔ.jpg");
  EXPECT_EQ(reimportedName(thumbnails({"ｔ.jpg", "\xF0\x9F\x98\x80.jpg"}), FileRole::Thumbnail),
            "ｔ.jpg");
  EXPECT_EQ(reimportedName({{"z.png", FileRole::Description}, {"t.jpg", FileRole::Thumbnail}},
                           FileRole::Thumbnail),
            "t.jpg");
  EXPECT_EQ(reimportedName(thumbnails({"t.jpg"}), FileRole::Scene), "");
}

TEST_F(PackageReimport, TheLoopStopsAtTheFirstMissingNumberAndSaysWhatItLeftUnread) {
  folder("00");
  folder("01");
  folder("03");
  folder("98");
  reimport();
  EXPECT_EQ(list.size(), 2u);
  EXPECT_EQ(sink.messages, std::vector<std::string>{"エラー　フォルダ02がないため、次のフォルダは"
                                                    "読み込まれていません:\n03\n98"});
}

// Each numbered folder is named to the progress as it is read; a cancel between two
// ends the reading at once, with nothing reported.
TEST_F(PackageReimport, ACancelEndsTheReadingBetweenTwoFolders) {
  struct CancelAfter : BuildProgress {
    void fileStarted(const std::string& path) override { started.push_back(path); }
    bool cancelRequested() override { return started.size() >= 2; }
    std::vector<std::string> started;
  } progress;
  for (const char* nn : {"00", "01", "02"}) folder(nn);
  put("04/s.nuv");  // after a gap: would be reported
  EXPECT_FALSE(reimportPackage(dir.file("pkg/exhibition.nuv"), list, sink, &progress));
  EXPECT_EQ(progress.started, (std::vector<std::string>{dir.file("pkg/00"), dir.file("pkg/01")}));
  EXPECT_TRUE(sink.messages.empty());
}

TEST_F(PackageReimport, APackageWithoutFolder00EmptiesTheListAndKeepsTheWorkingEntry) {
  list.workingEntry() = {"x.nuv", "x.jpg", "x.png", {}};
  list.addWorkingEntry();
  folder("01");
  reimport();
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.currentIndex(), -1);
  EXPECT_EQ(list.workingEntry(), (ExhibitionEntry{"x.nuv", "x.jpg", "x.png", {}}));
}

TEST_F(PackageReimport, ThePackageFolderIsTheDocumentsFolderWhateverItsName) {
  dir.write("exhibition.nuv.old/00/s.nuv", "");
  dir.copyFrom(kLandscape, "exhibition.nuv.old/00/t.jpg");
  dir.copyFrom(kPortrait, "exhibition.nuv.old/00/d.png");
  reimport("exhibition.nuv.old/exhibition.nuv");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.at(0).scenePath, dir.file("exhibition.nuv.old/00/s.nuv"));
}

TEST_F(PackageReimport, MissingRolesStayEmptyAndAreReportedTogether) {
  folder("00");
  put("01/t.jpg", kLandscape);
  dir.write("pkg/02", "a file named like a folder");
  folder("03");
  put("04/s.nuv");
  put("04/broken.png");
  put("04/d.png", kPortrait);
#ifndef _WIN32
  // A numbered folder that is a link is not followed, though a whole entry lies there.
  put("elsewhere/s.nuv");
  put("elsewhere/t.jpg", kLandscape);
  put("elsewhere/d.png", kPortrait);
  fs::create_directory_symlink(dir.file("pkg/elsewhere"), dir.file("pkg/05"));
  // Nor is a file that is a link, in a folder of the package's own.
  put("06/s.nuv");
  put("06/d.png", kPortrait);
  fs::create_symlink(dir.file("pkg/elsewhere/t.jpg"), dir.file("pkg/06/t.jpg"));
  const std::size_t count = 7;
  const std::string linkedLine =
      "\n05: nuvファイル、サムネイル、説明（リンクのため読み込んでいません）"
      "\n06: サムネイル（リンクのため読み込んでいません）";
#else
  const std::size_t count = 5;
  const std::string linkedLine;
#endif
  reimport();
  ASSERT_EQ(list.size(), count);
  EXPECT_EQ(list.at(1), (ExhibitionEntry{"", dir.file("pkg/01/t.jpg"), "", {}}));
  EXPECT_EQ(list.at(2), ExhibitionEntry{});
  EXPECT_EQ(list.at(3), packaged("03"));
  EXPECT_EQ(list.at(4),
            (ExhibitionEntry{dir.file("pkg/04/s.nuv"), "", dir.file("pkg/04/d.png"), {}}));
  EXPECT_EQ(sink.messages,
            std::vector<std::string>{"エラー　次のフォルダに足りないファイルがあります:\n"
                                     "01: nuvファイル、説明\n"
                                     "02: nuvファイル、サムネイル、説明\n"
                                     "04: サムネイル" +
                                     linkedLine});
}

TEST_F(PackageReimport, AHundredFoldersGiveAHundredEntriesThatTheCreateRefuses) {
  for (int f = 0; f < 101; ++f) {
    const std::string nn = f < 10 ? "0" + std::to_string(f) : std::to_string(f);
    put(nn + "/s.nuv");
  }
  reimport();
  EXPECT_EQ(list.size(), 100u);
  sink.messages.clear();
  CreateRequest request;
  request.entries = list.entries();
  request.destination = "/nowhere";
  EXPECT_EQ(createPackage(request, sink).status, BuildStatus::Refused);
  EXPECT_EQ(sink.messages, std::vector<std::string>{kTooManyEntriesMessage});
}

}  // namespace
}  // namespace vesk
