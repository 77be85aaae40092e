// The rule that binds the check, the create and verify: for every input, a check
// without an error means the create succeeds and its package passes verify; a check
// with an error means the create refuses before the destination is touched; a
// warning never turns into a failure. Each case states the verdict it expects, so
// that a case cannot pass by both sides changing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

#include "base/cp932.h"
#include "package/build_command.h"
#include "package/package_plan.h"
#include "package/package_verify.h"
#include "support/golden_files.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string kPictures = std::string(VESK_TEST_DATA_DIR) + "/pictures/";

// Every path below `folder`, relative, sorted; "(none)" when it does not exist.
std::vector<std::string> treeOf(const std::string& folder) {
  std::vector<std::string> tree;
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(folder, ec))) return {"(none)"};
  if (!fs::is_directory(folder, ec)) return {"(file)"};
  for (const auto& item : fs::recursive_directory_iterator(folder, ec)) {
    tree.push_back(fs::relative(item.path(), folder, ec).generic_string());
  }
  std::sort(tree.begin(), tree.end());
  return tree;
}

enum class Verdict { Ok, Error };

struct Case {
  std::string name;
  Verdict expected;
  // Writes the inputs into the folder and returns the check's request for them
  // (entries and destination; the rest is filled in).
  std::function<CheckRequest(test::TempDir&)> make;
};

// One entry in src/ with a scene of `scene` (bytes as on disk), a landscape thumbnail
// and a portrait description, into the destination "package".
CheckRequest oneEntry(test::TempDir& dir, const std::string& scene,
                      const std::string& thumbnail = "landscape-320x240.jpg") {
  dir.write("src/s.nuv", scene);
  dir.copyFrom(kPictures + thumbnail, "src/t" + fs::path(thumbnail).extension().string());
  dir.copyFrom(kPictures + "portrait-480x640.png", "src/d.png");
  CheckRequest request;
  request.entries.push_back({dir.file("src/s.nuv"),
                             dir.file("src/t" + fs::path(thumbnail).extension().string()),
                             dir.file("src/d.png"),
                             {}});
  request.destination = dir.file("package");
  return request;
}

const std::string kSur = "<drawGroup name=\"Surface\" ></drawGroup>\r\n";

// The golden check cases: inputs, entries.txt and free-space.txt as the check's
// golden test reads them.
CheckRequest goldenCase(test::TempDir& dir, const std::string& name) {
  const fs::path folder = fs::path(VESK_TEST_DATA_DIR) / "checks" / name;
  fs::copy(folder / "input", fs::path(dir.path()), fs::copy_options::recursive);
  CheckRequest request;
  for (const std::string& line : test::split(test::readBytes(folder / "entries.txt"), '\n')) {
    const std::vector<std::string> fields = test::split(line, '\t');
    request.entries.push_back({dir.file(fields[0]), dir.file(fields[1]), dir.file(fields[2]), {}});
  }
  request.destination = dir.file("package");
  if (fs::exists(folder / "free-space.txt")) {
    const std::uint64_t free = std::stoull(test::readBytes(folder / "free-space.txt"));
    request.freeSpace = [free](const std::string&) { return std::optional<std::uint64_t>(free); };
  }
  return request;
}

std::vector<Case> cases() {
  std::vector<Case> all = {
      {"golden errors", Verdict::Error, [](test::TempDir& d) { return goldenCase(d, "errors"); }},
      {"golden warnings", Verdict::Ok, [](test::TempDir& d) { return goldenCase(d, "warnings"); }},
      {"a sound entry", Verdict::Ok,
       [](test::TempDir& d) {
         d.write("src/v.raw", "volume");
         return oneEntry(d, "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n" + kSur);
       }},
      {"undecodable bytes in a data element and a draw group are carried through", Verdict::Ok,
       [](test::TempDir& d) {
         d.write("src/v.raw", "volume");
         return oneEntry(d,
                         "<data name=\"v\" note=\"\x81\x20\xA0\"><file path=\"v.raw\" /></data>\r\n"
                         "<drawGroup name=\"Sur\xFF\" ></drawGroup>\r\n");
       }},
      {"one data folder named by two spellings", Verdict::Ok,
       [](test::TempDir& d) {
         d.write("src/ct/a.dcm", "a");
         return oneEntry(d,
                         "<data name=\"a\"><file path=\"ct\\\" /></data>\r\n"
                         "<data name=\"b\"><file path=\"ct\\\" type=\"x\" /></data>\r\n"
                         "<data name=\"c\"><file path=\"ct\" /></data>\r\n" +
                             kSur);
       }},
      {"one data file named by two spellings", Verdict::Ok,
       [](test::TempDir& d) {
         d.write("src/m/v.raw", "volume");
         return oneEntry(d,
                         "<data name=\"a\"><file path=\"m\\v.raw\" /></data>\r\n"
                         "<data name=\"b\"><file path=\"m\\.\\v.raw\" /></data>\r\n" +
                             kSur);
       }},
      {"an unclosed <data inside a draw group's start tag", Verdict::Error,
       [](test::TempDir& d) {
         return oneEntry(d, "<drawGroup name=\"Surface\" <data name=\"x\" ></drawGroup>\r\n");
       }},
      {"a second path in one data element", Verdict::Error,
       [](test::TempDir& d) {
         d.write("src/v.raw", "volume");
         d.write("src/w.raw", "other");
         return oneEntry(
             d,
             "<data name=\"v\"><file path=\"v.raw\" /><file path=\"w.raw\" /></data>\r\n" + kSur);
       }},
      {"an entry event named inside a draw group", Verdict::Error,
       [](test::TempDir& d) {
         return oneEntry(
             d, "<drawGroup name=\"Surface\" ><event name=\"goto_ob05\" /></drawGroup>\r\n");
       }},
      {"a thumbnail that is a GIF", Verdict::Ok,
       [](test::TempDir& d) {
         CheckRequest request = oneEntry(d, kSur);
         d.write("src/t.gif", "GIF89a\x40\x01\xF0\x00");
         request.entries[0].thumbnailPath = d.file("src/t.gif");
         return request;
       }},
      {"a truncated JPEG thumbnail", Verdict::Ok,
       [](test::TempDir& d) {
         CheckRequest request = oneEntry(d, kSur);
         d.write("src/t.jpg", d.read("src/t.jpg").substr(0, 40));
         return request;
       }},
      {"a data value holding a NUL", Verdict::Error,
       [](test::TempDir& d) {
         d.write("src/a", "the file a NUL would cut the name to");
         return oneEntry(d, "<data name=\"v\"><file path=\"a\0b.raw\" /></data>\r\n"s + kSur);
       }},
      {"a destination that is a file", Verdict::Error,
       [](test::TempDir& d) {
         CheckRequest request = oneEntry(d, kSur);
         d.write("package", "a file");
         return request;
       }},
      {"a destination below a file", Verdict::Error,
       [](test::TempDir& d) {
         CheckRequest request = oneEntry(d, kSur);
         d.write("file", "a file");
         request.destination = d.file("file/package");
         return request;
       }},
      {"a destination name longer than the file system takes", Verdict::Error,
       [](test::TempDir& d) {
         CheckRequest request = oneEntry(d, kSur);
         request.destination = d.file(std::string(300, 'p'));
         return request;
       }},
      {"a data path longer than the file system takes", Verdict::Error,
       [](test::TempDir& d) {
         CheckRequest request = oneEntry(d, kSur);
         VolumeInfo volume = volumeInfoOf(d.path());
         volume.pathMax = d.file("package/00/s.nuv").size();
         request.volume = [volume](const std::string&) { return volume; };
         return request;
       }},
      {"free space for the bytes but not for the blocks", Verdict::Error,
       [](test::TempDir& d) {
         d.write("src/v.raw", std::string(10, 'v'));
         CheckRequest request =
             oneEntry(d, "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n" + kSur);
         VolumeInfo volume = volumeInfoOf(d.path());
         volume.blockSize = 4096;
         // Room for every byte, the document's included, not for whole blocks.
         volume.available = planPackage(request).bytesToCopy + 10000;
         request.volume = [volume](const std::string&) { return volume; };
         return request;
       }},
      {"a data value with a sub-folder and one leaving the scene folder", Verdict::Ok,
       [](test::TempDir& d) {
         d.write("src/m/mesh.obj", "mesh");
         d.write("shared/x.raw", "shared");
         return oneEntry(d,
                         "<data name=\"m\"><file path=\"m\\mesh.obj\" /></data>\r\n"
                         "<data name=\"x\"><file path=\"..\\shared\\x.raw\" /></data>\r\n" +
                             kSur);
       }},
      {"a destination inside an entry folder of another package", Verdict::Error,
       [](test::TempDir& d) {
         CheckRequest request = oneEntry(d, kSur);
         d.write("other/exhibition.nuv", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n");
         d.write("other/00/s.nuv", "its scene");
         request.destination = d.file("other/00/package");
         return request;
       }},
      {"a destination inside a working folder, which the next run there removes", Verdict::Error,
       [](test::TempDir& d) {
         CheckRequest request = oneEntry(d, kSur);
         d.write("other/.vesk-staging/.vesk-working-folder", "Vesk's");
         request.destination = d.file("other/.vesk-staging/package");
         return request;
       }},
      {"a destination inside a folder that merely has a working folder's name", Verdict::Ok,
       [](test::TempDir& d) {
         CheckRequest request = oneEntry(d, kSur);
         request.destination = d.file("other/.vesk-staging/package");
         return request;
       }},
      {"a data file inside a working folder, which the next run there removes", Verdict::Error,
       [](test::TempDir& d) {
         d.write("other/.vesk-staging/.vesk-working-folder", "Vesk's");
         d.write("other/.vesk-staging/00/x.raw", "left by a killed run");
         return oneEntry(d,
                         "<data name=\"x\"><file path=\"..\\other\\.vesk-staging\\00\\x.raw\" "
                         "/></data>\r\n" +
                             kSur);
       }},
      {"a thumbnail where a button image goes, which would be lost", Verdict::Error,
       [](test::TempDir& d) {
         CheckRequest request = oneEntry(d, kSur);
         d.copyFrom(request.entries[0].thumbnailPath, "package/up.jpg");
         request.entries[0].thumbnailPath = d.file("package/up.jpg");
         return request;
       }},
      {"button images at the top of a folder that holds no package are written over", Verdict::Ok,
       [](test::TempDir& d) {
         d.write("package/up.jpg", "someone's picture");
         d.write("package/down.jpg", "someone's picture");
         return oneEntry(d, kSur);
       }},
  };
#ifndef _WIN32
  all.push_back({"a link where a button image goes is replaced, not written through", Verdict::Ok,
                 [](test::TempDir& d) {
                   CheckRequest request = oneEntry(d, kSur);
                   d.write("elsewhere.jpg", "not to be written through");
                   d.makeFolder("package");
                   fs::create_symlink(d.file("elsewhere.jpg"), d.file("package/up.jpg"));
                   return request;
                 }});
  all.push_back({"a destination reached through a link into an entry folder of another package",
                 Verdict::Error, [](test::TempDir& d) {
                   CheckRequest request = oneEntry(d, kSur);
                   d.write("other/exhibition.nuv",
                           "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n");
                   d.write("other/00/s.nuv", "its scene");
                   fs::create_directory_symlink(d.file("other/00"), d.file("link"));
                   request.destination = d.file("link/package");
                   return request;
                 }});
  all.push_back({"a thumbnail reached through a link to where a button image goes", Verdict::Error,
                 [](test::TempDir& d) {
                   CheckRequest request = oneEntry(d, kSur);
                   d.copyFrom(request.entries[0].thumbnailPath, "package/up.jpg");
                   fs::create_directory_symlink(d.file("package"), d.file("link"));
                   request.entries[0].thumbnailPath = d.file("link/up.jpg");
                   return request;
                 }});
  all.push_back(
      {"a thumbnail that is another name of the file where a button image goes, "
       "which keeps it",
       Verdict::Ok, [](test::TempDir& d) {
         CheckRequest request = oneEntry(d, kSur);
         d.copyFrom(request.entries[0].thumbnailPath, "package/up.jpg");
         fs::create_hard_link(d.file("package/up.jpg"), d.file("src/t2.jpg"));
         request.entries[0].thumbnailPath = d.file("src/t2.jpg");
         return request;
       }});
  all.push_back(
      {"a destination that is a link leading nowhere", Verdict::Error, [](test::TempDir& d) {
         CheckRequest request = oneEntry(d, kSur);
         fs::create_symlink(d.file("nowhere"), d.file("package"));
         return request;
       }});
  if (::geteuid() != 0) {
    all.push_back(
        {"a destination whose parent cannot be written", Verdict::Error, [](test::TempDir& d) {
           CheckRequest request = oneEntry(d, kSur);
           d.makeFolder("locked");
           ::chmod(d.file("locked").c_str(), 0555);
           request.destination = d.file("locked/package");
           return request;
         }});
  }
#else
  // Windows keeps a folder's read-only attribute for its look, not its access: the
  // check asks the folder's access list, as the create meets it.
  all.push_back(
      {"a destination whose parent has the read-only attribute", Verdict::Ok, [](test::TempDir& d) {
         CheckRequest request = oneEntry(d, kSur);
         d.makeFolder("locked");
         SetFileAttributesW(fs::path(d.file("locked")).c_str(), FILE_ATTRIBUTE_READONLY);
         request.destination = d.file("locked/package");
         return request;
       }});
#endif
  return all;
}

TEST(BindingRule, TheChecksVerdictPredictsTheCreateAndItsVerify) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    CheckRequest request = c.make(dir);
    request.programFolder = VESK_DATA_DIR;
    request.windowsNames = false;
    const auto plan = std::make_shared<const PackagePlan>(planPackage(request));
    const bool error = hasCheckErrors(plan->problems);
    EXPECT_EQ(error, c.expected == Verdict::Error) << checkReportText(plan->problems);

    const std::vector<std::string> before = treeOf(request.destination);
    CreateRequest create;
    create.entries = request.entries;
    create.destination = request.destination;
    create.programFolder = request.programFolder;
    create.plan = plan;
    test::RecordingSink sink;
    const BuildReport report = createPackage(create, sink);
    if (error) {
      EXPECT_EQ(report.status, BuildStatus::Stopped);
      EXPECT_EQ(treeOf(request.destination), before) << "the destination was touched";
    } else {
      EXPECT_EQ(report.status, BuildStatus::Written)
          << (sink.messages.empty() ? "" : sink.messages.front());
      std::string faults;
      for (const auto& problem : verifyPackage(report.documentPath)) faults += problem.text + "\n";
      EXPECT_EQ(faults, "");
    }
#ifndef _WIN32
    ::chmod(dir.file("locked").c_str(), 0755);
#else
    SetFileAttributesW(fs::path(dir.file("locked")).c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
  }
}

}  // namespace
}  // namespace vesk
