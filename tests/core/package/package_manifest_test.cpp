// The manifest every create writes, verify of every byte against it, and the reuse of
// unchanged files when a package is rebuilt in place.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "base/file_operations.h"
#include "base/file_stamp.h"
#include "format/copy_record.h"
#include "messages/messages.h"
#include "model/entry_list.h"
#include "package/build_command.h"
#include "package/content_verify.h"
#include "package/copy_reuse.h"
#include "package/package_layout.h"
#include "package/package_reimport.h"
#include "package/package_replace.h"
#include "package/package_report_file.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

// sha256sum of "volume bytes".
constexpr const char* kVolumeHash =
    "96da9fda4f3eee65ba28683d2a2f3ec114b9c94cdbf564e989e7de7c527f8570";

// A path with "/" for every separator, as on POSIX.
std::string slashed(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

class PackageManifest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.copyFrom(std::string(VESK_DATA_DIR) + "/up.jpg", "program/up.jpg");
    dir.copyFrom(std::string(VESK_DATA_DIR) + "/down.jpg", "program/down.jpg");
    // Two entries: "a" with a data file, "b" whose thumbnail has the same size as a's
    // but other bytes (a JPEG with a byte after its end).
    addEntry("a", "<data name=\"v\"><file path=\"v.raw\" /></data>\n", "");
    dir.write("src/a/v.raw", "volume bytes");
    addEntry("b", "", "x");
    agePictures();
  }

  void addEntry(const std::string& name, const std::string& scene, const std::string& tail) {
    const std::string folder = "src/" + name + "/";
    std::string crlf;
    for (char c : scene) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    dir.write(folder + name + ".nuv", encodeCp932(crlf).value_or(""));
    dir.write(folder + "t.jpg", dir.read("program/up.jpg") + tail);
    dir.copyFrom(std::string(VESK_TEST_DATA_DIR) + "/pictures/portrait-480x640.png",
                 folder + "d.png");
    entries.push_back({dir.file(folder + name + ".nuv"),
                       dir.file(folder + "t.jpg"),
                       dir.file(folder + "d.png"),
                       {}});
  }

  // Sources an operator made long ago: older than any file-system time granularity.
  void agePictures() {
    for (const char* folder : {"src", "program"}) {
      for (const auto& item : fs::recursive_directory_iterator(dir.file(folder))) {
        if (!item.is_regular_file()) continue;
        fs::last_write_time(item.path(), fs::file_time_type::clock::now() - std::chrono::hours(1));
      }
    }
  }

  BuildReport create(const std::string& destination = "D") {
    CreateRequest request;
    request.entries = entries;
    request.destination = dir.file(destination);
    request.programFolder = dir.file("program");
    return createPackage(request, sink);
  }

  BuildReport replace(const std::string& destination = "D") {
    CreateRequest request;
    request.entries = entries;
    request.destination = dir.file(destination);
    request.programFolder = dir.file("program");
    return replacePackage(request, sink);
  }

  // Each problem as its fault and the path it names, relative to the package.
  std::vector<std::pair<PackageFault, std::string>> problems(
      ContentCheck check = ContentCheck::Full, const std::string& package = "D") const {
    std::vector<std::pair<PackageFault, std::string>> found;
    const std::string folder = dir.file(package) + "/";
    for (const auto& p : verifyWholePackage(folder + kDocumentName, check).problems) {
      const std::size_t at = p.text.find(folder);
      std::string named = at == std::string::npos ? p.text : p.text.substr(at + folder.size());
      for (char& c : named) {
        if (c == '\\') c = '/';
      }
      found.emplace_back(p.fault, named);
    }
    return found;
  }

  std::uint64_t fileNumber(const std::string& relative) const {
    const auto stamp = fileStampOf(dir.file(relative));
    return stamp ? stamp->file : 0;
  }

  vesk::test::TempDir dir;
  vesk::test::RecordingSink sink;
  std::vector<ExhibitionEntry> entries;
};

TEST_F(PackageManifest, ListsEveryFileOfThePackageWithItsHash) {
  ASSERT_EQ(create().status, BuildStatus::Written) << sink.messages.front();
  const std::string manifest = dir.read("D/exhibition.sha256");
  std::vector<std::string> paths;
  for (std::size_t at = 0; at < manifest.size();) {
    const std::size_t end = manifest.find('\n', at);
    paths.push_back(manifest.substr(at + 66, end - at - 66));
    at = end + 1;
  }
  EXPECT_EQ(paths, (std::vector<std::string>{"00/a.nuv", "00/d.png", "00/t.jpg", "00/v.raw",
                                             "01/b.nuv", "01/d.png", "01/t.jpg", "down.jpg",
                                             "exhibition.nuv", "up.jpg"}));
  EXPECT_NE(manifest.find(std::string(kVolumeHash) + "  00/v.raw\n"), std::string::npos);
  EXPECT_EQ(problems(), (std::vector<std::pair<PackageFault, std::string>>{}));
}

#ifndef _WIN32
// Some file systems number their files anew at each mount (FAT and exFAT on Linux,
// network mounts): after one, a source may carry the number another source had when
// it was copied, with the same size and time. Its copy is not the earlier one of the
// other source.
TEST_F(PackageManifest, AReplaceNeverTakesAnotherSourcesCopyThatHadItsNumber) {
  dir.write("src/a/w.raw", "other bytes!");  // the size of v.raw's "volume bytes"
  entries[0].dataFiles.clear();
  const std::string scene =
      "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n"
      "<data name=\"w\"><file path=\"w.raw\" /></data>\r\n";
  dir.write("src/a/a.nuv", scene);
  const auto time = fs::last_write_time(dir.file("src/a/v.raw")) - std::chrono::hours(1);
  for (const char* name : {"src/a/v.raw", "src/a/w.raw", "src/a/a.nuv"}) {
    fs::last_write_time(dir.file(name), time);
  }
  ASSERT_EQ(create().status, BuildStatus::Written);
  // v.raw and w.raw trade numbers; each keeps its name, bytes, size and time.
  fs::rename(dir.file("src/a/v.raw"), dir.file("src/a/swap"));
  fs::rename(dir.file("src/a/w.raw"), dir.file("src/a/v.raw"));
  fs::rename(dir.file("src/a/swap"), dir.file("src/a/w.raw"));
  dir.write("src/a/v.raw", "volume bytes");
  dir.write("src/a/w.raw", "other bytes!");
  for (const char* name : {"src/a/v.raw", "src/a/w.raw"}) fs::last_write_time(dir.file(name), time);
  ASSERT_EQ(replace().status, BuildStatus::Written);
  EXPECT_EQ(dir.read("D/00/v.raw"), "volume bytes");
  EXPECT_EQ(dir.read("D/00/w.raw"), "other bytes!");
  EXPECT_EQ(problems(), (std::vector<std::pair<PackageFault, std::string>>{}));
}

TEST_F(PackageManifest, Sha256sumAcceptsTheManifestOfAPackageCopiedElsewhere) {
  ASSERT_EQ(create().status, BuildStatus::Written);
  fs::copy(dir.file("D"), dir.file("copy"), fs::copy_options::recursive);
  const std::string command =
      "cd '" + dir.file("copy") + "' && sha256sum --quiet --strict -c exhibition.sha256";
  EXPECT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(problems(ContentCheck::Full, "copy"),
            (std::vector<std::pair<PackageFault, std::string>>{}));
  EXPECT_EQ(problems(ContentCheck::Quick, "copy"),
            (std::vector<std::pair<PackageFault, std::string>>{}));
}
#endif

// Rewritten as sha256sum writes it when run in the package's folder on ./00/* (an
// empty line after), the manifest vouches for the same files; a line not of its form is
// named by its number.
TEST_F(PackageManifest, AManifestIsReadAsSha256sumReadsIt) {
  ASSERT_EQ(create().status, BuildStatus::Written);
  const std::string manifest = dir.read("D/exhibition.sha256");
  std::string dotted;
  for (std::size_t at = 0; at < manifest.size();) {
    const std::size_t end = manifest.find('\n', at);
    dotted += manifest.substr(at, 66) + "./" + manifest.substr(at + 66, end + 1 - at - 66);
    at = end + 1;
  }
  dir.write("D/exhibition.sha256", dotted + "\n");
  EXPECT_EQ(problems(), (std::vector<std::pair<PackageFault, std::string>>{}));

  const std::size_t second = manifest.find('\n') + 1;
  dir.write("D/exhibition.sha256",
            manifest.substr(0, second) + "\nnot a line\n" + manifest.substr(second));
  const auto verdict = verifyWholePackage(dir.file("D/exhibition.nuv"), ContentCheck::Quick);
  ASSERT_EQ(verdict.problems.size(), 1u) << verifyFailureText(verdict.problems);
  EXPECT_EQ(verdict.problems[0].fault, PackageFault::ManifestUnreadable);
  EXPECT_NE(verdict.problems[0].text.find("3 行目"), std::string::npos) << verdict.problems[0].text;
}

// Each damage a copy can suffer, and the line verify names it with.
TEST_F(PackageManifest, EachDamageIsCaughtWithTheFileItConcerns) {
  using Fault = PackageFault;
  struct Damage {
    const char* name;
    std::function<void(vesk::test::TempDir&)> apply;
    std::vector<std::pair<Fault, std::string>> expected;
  };
  const auto flipByte = [](vesk::test::TempDir& d, const std::string& file, std::size_t at) {
    std::string bytes = d.read(file);
    bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
    d.write(file, bytes);
  };
  const Damage damages[] = {
      {"a byte flipped in a data file",
       [&](auto& d) { flipByte(d, "D/00/v.raw", 3); },
       {{Fault::ContentChanged, "00/v.raw"}}},
      {"a data file truncated",
       [](auto& d) { d.write("D/00/v.raw", ""); },
       {{Fault::ContentChanged, "00/v.raw"}}},
      {"a JPEG cut after its header",
       [](auto& d) { d.write("D/00/t.jpg", d.read("D/00/t.jpg").substr(0, 700)); },
       {{Fault::ContentChanged, "00/t.jpg"}}},
      {"two thumbnails of one size swapped",
       [](auto& d) {
         const std::string first = d.read("D/00/t.jpg");
         d.write("D/00/t.jpg", d.read("D/01/t.jpg"));
         d.write("D/01/t.jpg", first);
       },
       {{Fault::ContentChanged, "00/t.jpg"}, {Fault::ContentChanged, "01/t.jpg"}}},
      {"a scene replaced",
       [](auto& d) { d.write("D/00/a.nuv", "<other/>\r\n"); },
       {{Fault::ContentChanged, "00/a.nuv"}}},
      {"a byte of the document changed",
       [&](auto& d) {
         std::string text = d.read("D/exhibition.nuv");
         text.replace(text.find("spaceNum=\"2\""), 12, "spaceNum=\"3\"");
         d.write("D/exhibition.nuv", text);
       },
       {{Fault::ContentChanged, "exhibition.nuv"}}},
      {"a listed file removed",
       [](auto& d) { fs::remove(d.file("D/01/d.png")); },
       {{Fault::PathMissing, ""}, {Fault::ContentMissing, "01/d.png"}}},
      {"the manifest removed, then a byte flipped",
       [&](auto& d) {
         fs::remove(d.file("D/exhibition.sha256"));
         flipByte(d, "D/00/v.raw", 3);
       },
       {{Fault::ContentMissing, "exhibition.sha256"}}},
      {"an extra file",
       [](auto& d) { d.write("D/01/extra.txt", "x"); },
       {{Fault::ContentUnlisted, "01/extra.txt"}}},
      {"an extra entry folder",
       [](auto& d) { d.write("D/02/b.nuv", "x"); },
       {{Fault::EntryMismatch, ""}, {Fault::ContentUnlisted, "02"}}},
      {"an extra entry folder added to the manifest too",
       [](auto& d) {
         d.write("D/02/b.nuv", "x");
         d.write(
             "D/exhibition.sha256",
             d.read("D/exhibition.sha256") +
                 "2d711642b726b04401627ca9fbac32f5c8530fb1903cc4db02258717921a4881  02/b.nuv\n");
       },
       {{Fault::EntryMismatch, ""}}},
      {"the manifest cut short, then a button and the document changed",
       [&](auto& d) {
         std::string manifest = d.read("D/exhibition.sha256");
         for (int line = 0; line < 3; ++line)
           manifest.erase(manifest.rfind('\n', manifest.size() - 2) + 1);
         d.write("D/exhibition.sha256", manifest);
         flipByte(d, "D/up.jpg", 700);
         std::string text = d.read("D/exhibition.nuv");
         text.replace(text.find("spaceNum=\"2\""), 12, "spaceNum=\"3\"");
         d.write("D/exhibition.nuv", text);
       },
       {{Fault::ContentUnlisted, "down.jpg"},
        {Fault::ContentUnlisted, "exhibition.nuv"},
        {Fault::ContentUnlisted, "up.jpg"}}},
      {"a line of the manifest repeated, then the file it names changed",
       [&](auto& d) {
         std::string manifest = d.read("D/exhibition.sha256");
         const std::size_t line = manifest.find("  00/v.raw\n") - 64;
         manifest += manifest.substr(line, manifest.find('\n', line) + 1 - line);
         d.write("D/exhibition.sha256", manifest);
         flipByte(d, "D/00/v.raw", 3);
       },
       {{Fault::ContentChanged, "00/v.raw"}}},
      {"a size in the copy record changed, the file as the manifest says",
       [](auto& d) {
         std::string record = d.read("D/exhibition.vesk-copies");
         const std::size_t at = record.find("00/v.raw\t") + 9;
         record[at] = record[at] == '9' ? '8' : '9';
         d.write("D/exhibition.vesk-copies", record);
       },
       {{Fault::RecordUnreadable, "exhibition.vesk-copies"}}},
      {"a file listed again with another hash",
       [](auto& d) {
         d.write("D/exhibition.sha256",
                 d.read("D/exhibition.sha256") + std::string(64, '0') + "  00/v.raw\n");
       },
       {{Fault::ContentChanged, "00/v.raw"}}},
      {"a listed name too long for the file system is missing, not of another kind",
       [](auto& d) {
         d.write("D/exhibition.sha256", d.read("D/exhibition.sha256") + std::string(64, '0') +
                                            "  00/" + std::string(300, 'x') + "\n");
       },
       {{Fault::ContentMissing, "00/" + std::string(300, 'x')}}},
#ifndef _WIN32
      {"a data file become a link to a system file",
       [](auto& d) {
         fs::remove(d.file("D/00/v.raw"));
         fs::create_symlink("/etc/hostname", d.file("D/00/v.raw"));
       },
       {{Fault::ContentIrregular, "00/v.raw"}}},
      {"an entry folder become a link outside the package",
       [](auto& d) {
         fs::rename(d.file("D/01"), d.file("outside"));
         fs::create_directory_symlink(d.file("outside"), d.file("D/01"));
       },
       // Not followed: neither its scene nor its pictures are the package's.
       {{Fault::SceneMissing, ""},
        {Fault::PictureUnreadable, ""},
        {Fault::PictureUnreadable, ""},
        {Fault::ContentIrregular, "01"}}},
      {"a data file become a FIFO",
       [](auto& d) {
         fs::remove(d.file("D/00/v.raw"));
         ASSERT_EQ(::mkfifo(d.file("D/00/v.raw").c_str(), 0644), 0);
       },
       {{Fault::ContentIrregular, "00/v.raw"}}},
      {"a thumbnail become a link to a picture outside, which is not measured",
       [](auto& d) {
         fs::rename(d.file("D/01/t.jpg"), d.file("outside.jpg"));
         fs::create_symlink(d.file("outside.jpg"), d.file("D/01/t.jpg"));
       },
       {{Fault::PictureUnreadable, ""}, {Fault::ContentIrregular, "01/t.jpg"}}},
      {"an operator's shortcut and pipe beside the package, and a button become a link",
       [](auto& d) {
         fs::create_directory_symlink("/etc", d.file("D/shortcut"));
         ASSERT_EQ(::mkfifo(d.file("D/pipe").c_str(), 0644), 0);
         fs::remove(d.file("D/up.jpg"));
         fs::create_symlink(d.file("D/down.jpg"), d.file("D/up.jpg"));
       },
       {{Fault::ButtonMissing, ""}, {Fault::ContentIrregular, "up.jpg"}}},
#endif
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.name);
    dir.clear();
    entries.clear();
    SetUp();
    ASSERT_EQ(create().status, BuildStatus::Written);
    damage.apply(dir);
    // Structural problems name the document's view of a file: only their kind counts.
    auto found = problems();
    for (auto& [fault, path] : found) {
      if (fault < Fault::NotAPackage) path.clear();
    }
    // The members at the top come in the file system's order.
    auto expected = damage.expected;
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
  }
}

TEST_F(PackageManifest, AFileOfAManifestsNameThatNoPackageOwnsStopsTheCreateUntouched) {
  for (const char* name : {kManifestName, kCopyRecordName}) {
    dir.clear();
    entries.clear();
    SetUp();
    dir.write(std::string("D/") + name, "mine");
    EXPECT_EQ(create().status, BuildStatus::Stopped) << name;
    EXPECT_NE(sink.messages.back().find(name == std::string(kManifestName) ? kCheckManifestInTheWay
                                                                           : kCheckRecordInTheWay),
              std::string::npos)
        << name;
    EXPECT_EQ(dir.names("D"), std::vector<std::string>{name});
    EXPECT_EQ(dir.read(std::string("D/") + name), "mine");
  }
}

TEST_F(PackageManifest, QuickComparesSizesOnly) {
  ASSERT_EQ(create().status, BuildStatus::Written);
  dir.write("D/00/v.raw", "VOLUME BYTES");  // same size, other bytes
  EXPECT_EQ(problems(ContentCheck::Quick), (std::vector<std::pair<PackageFault, std::string>>{}));
  dir.write("D/00/v.raw", "volume");
  EXPECT_EQ(problems(ContentCheck::Quick), (std::vector<std::pair<PackageFault, std::string>>{
                                               {PackageFault::ContentChanged, "00/v.raw"}}));

  // The sizes come from the copy record: without it a quick check cannot pass.
  const std::string record = dir.read("D/exhibition.vesk-copies");
  dir.write("D/exhibition.vesk-copies", record + "junk\n");
  EXPECT_EQ(problems(ContentCheck::Quick),
            (std::vector<std::pair<PackageFault, std::string>>{
                {PackageFault::RecordUnreadable, "exhibition.vesk-copies"}}));
  std::string shorter = record;
  shorter.erase(
      shorter.find("\n00/v.raw\t") + 1,
      shorter.find('\n', shorter.find("\n00/v.raw\t") + 1) - shorter.find("\n00/v.raw\t"));
  dir.write("D/exhibition.vesk-copies", shorter);
  EXPECT_EQ(problems(ContentCheck::Quick), (std::vector<std::pair<PackageFault, std::string>>{
                                               {PackageFault::RecordUnreadable, "00/v.raw"}}));
}

TEST_F(PackageManifest, APackageWithoutManifestIsCheckedForStructureAndSaysSo) {
  ASSERT_EQ(create().status, BuildStatus::Written);
  fs::remove(dir.file("D/exhibition.sha256"));
  fs::remove(dir.file("D/exhibition.vesk-copies"));
  const ContentVerdict verdict =
      verifyWholePackage(dir.file("D/exhibition.nuv"), ContentCheck::Full);
  EXPECT_EQ(verdict.manifest, ManifestState::NoManifest);
  EXPECT_TRUE(verdict.problems.empty());
  EXPECT_EQ(contentNoteText(verdict, ContentCheck::Full), kVerifyNoManifest);
  EntryList list;
  reimportPackage(dir.file("D/exhibition.nuv"), list, sink);
  EXPECT_EQ(list.size(), 2u);
}

TEST_F(PackageManifest, WhatIsNoPackageDocumentIsRefusedUnread) {
  struct Case {
    const char* name;
    std::string path;
  };
  dir.write("big/exhibition.nuv", std::string(1 << 20, 'x'));
  dir.makeFolder("big/00");
  dir.write("other/notes.nuv", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"");
  dir.makeFolder("other/00");
  const Case cases[] = {
      {"not a document", dir.file("big/exhibition.nuv")},
      {"not named as the document", dir.file("other/notes.nuv")},
  };
  for (const Case& c : cases) {
    const auto verdict = verifyWholePackage(c.path, ContentCheck::Full);
    ASSERT_EQ(verdict.problems.size(), 1u) << c.name;
    EXPECT_EQ(verdict.problems[0].fault, PackageFault::NotAPackage) << c.name;
  }
}

// What cannot be read is named once, with the reason the system gave.
TEST_F(PackageManifest, WhatCannotBeReadIsNamedWithItsReason) {
  struct Case {
    const char* name;
    std::string document;
    std::string reason;  // in the first problem named
    std::size_t count;   // problems named
    ContentCheck check = ContentCheck::Full;
  };
  std::vector<Case> cases = {
      {"a folder that is not there", dir.file("gone/exhibition.nuv"), "見つかりません", 1},
#ifdef _WIN32
      // Windows tells a component too long as a path not found.
      {"a folder whose name is too long", dir.file(std::string(300, 'x') + "/exhibition.nuv"),
       "見つかりません", 1},
#else
      {"a folder whose name is too long", dir.file(std::string(300, 'x') + "/exhibition.nuv"),
       "長すぎます", 1},
#endif
  };
#ifndef _WIN32
  // Only where access is refused (not to root).
  std::vector<std::string> refused;
  if (::geteuid() != 0) {
    ASSERT_EQ(create().status, BuildStatus::Written);
    for (const char* folder : {"M", "F", "R", "V"})
      fs::copy(dir.file("D"), dir.file(folder), fs::copy_options::recursive);
    refused = {dir.file("M/exhibition.sha256"), dir.file("F"), dir.file("R/exhibition.nuv"),
               dir.file("V/00/v.raw")};
    for (const auto& path : refused) fs::permissions(path, fs::perms::none);
    cases.push_back({"a manifest that may not be read", dir.file("M/exhibition.nuv"), "拒否", 1});
    cases.push_back({"a folder that may not be entered", dir.file("F/exhibition.nuv"), "拒否", 1});
    // The document, then its hash that could not be taken: never called no document.
    cases.push_back({"a document that may not be read", dir.file("R/exhibition.nuv"), "拒否", 2});
    cases.push_back({"a data file that may not be read", dir.file("V/exhibition.nuv"), "拒否", 1});
    // The quick check reads no file, but one the kiosk may not read is no pass.
    cases.push_back({"a data file that may not be read, checked quickly",
                     dir.file("V/exhibition.nuv"), "拒否", 1, ContentCheck::Quick});
  }
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto verdict = verifyWholePackage(c.document, c.check);
    ASSERT_EQ(verdict.problems.size(), c.count) << verifyFailureText(verdict.problems);
    EXPECT_NE(verdict.problems[0].text.find(c.reason), std::string::npos)
        << verdict.problems[0].text;
  }
#ifndef _WIN32
  for (const auto& path : refused) fs::permissions(path, fs::perms::all);
#endif
}

// A rebuild in place links (or clones) what did not change and copies the rest.
TEST_F(PackageManifest, AReplaceReusesOnlyFilesWhoseSourceAndCopyAreUnchanged) {
  ASSERT_EQ(create().status, BuildStatus::Written);
  const std::uint64_t volume = fileNumber("D/00/v.raw");
  // b's scene changes; a's data file is touched (same bytes, new time); a's copy of
  // its description is edited in the package (same size).
  dir.write("src/b/b.nuv", "<changed />\r\n");
  fs::last_write_time(dir.file("src/a/v.raw"), fs::file_time_type::clock::now());
  std::string description = dir.read("D/00/d.png");
  description.back() = static_cast<char>(description.back() ^ 1);
  dir.write("D/00/d.png", description);
  // b's thumbnail is rewritten in place with its size and time put back.
  const auto thumbnailTime = fs::last_write_time(dir.file("src/b/t.jpg"));
  std::string thumbnail = dir.read("src/b/t.jpg");
  thumbnail.back() = static_cast<char>(thumbnail.back() ^ 1);
  dir.write("src/b/t.jpg", thumbnail);
  fs::last_write_time(dir.file("src/b/t.jpg"), thumbnailTime);

  const BuildReport report = replace();
  ASSERT_EQ(report.status, BuildStatus::Written) << sink.messages.front();
  // Reused: 00/a.nuv, 00/t.jpg, 01/d.png, both buttons.
  EXPECT_EQ(report.filesReused, 5u);
  EXPECT_EQ(dir.read("D/01/b.nuv"), "<changed />\r\n");
  EXPECT_EQ(dir.read("D/01/t.jpg"), thumbnail);
  EXPECT_EQ(dir.read("D/00/d.png"), dir.read("src/a/d.png"));
  EXPECT_NE(fileNumber("D/00/v.raw"), volume);
  EXPECT_EQ(problems(), (std::vector<std::pair<PackageFault, std::string>>{}));
  EXPECT_NE(sink.messages.back().find("5 個のファイル"), std::string::npos) << sink.messages.back();

  // A second replace right after: every source is older than the record by far.
  ASSERT_EQ(replace().status, BuildStatus::Written);
  EXPECT_EQ(problems(), (std::vector<std::pair<PackageFault, std::string>>{}));
}

TEST_F(PackageManifest, ASourceChangedJustBeforeTheRecordIsNotTrusted) {
  // Changed within the time granularity of the record: a later change might keep its time.
  fs::last_write_time(dir.file("src/a/v.raw"), fs::file_time_type::clock::now());
  ASSERT_EQ(create().status, BuildStatus::Written);
  const BuildReport report = replace();
  ASSERT_EQ(report.status, BuildStatus::Written);
  EXPECT_EQ(report.filesReused, 8u);  // every copy but v.raw
}

// The new manifest takes the hashes of reused files from the copy record: a recorded
// hash the earlier manifest does not vouch for (a damaged record) is never taken, and
// its file is copied again.
TEST_F(PackageManifest, AFileWhoseRecordedHashTheManifestDoesNotVouchForIsCopiedAgain) {
  ASSERT_EQ(create().status, BuildStatus::Written);
  const std::string recordPath = std::string("D/") + kCopyRecordName;
  std::string record = dir.read(recordPath);
  std::size_t hex = record.find("00/v.raw\t");
  ASSERT_NE(hex, std::string::npos);
  for (int field = 0; field < 3; ++field) hex = record.find('\t', hex) + 1;
  record[hex] = record[hex] == '0' ? '1' : '0';
  dir.write(recordPath, record);
  fs::last_write_time(dir.file(recordPath), fs::file_time_type::clock::now());

  const BuildReport report = replace();
  ASSERT_EQ(report.status, BuildStatus::Written);
  EXPECT_EQ(report.filesReused, 8u);  // every copy but v.raw
  EXPECT_EQ(problems(), (std::vector<std::pair<PackageFault, std::string>>{}));
}

// The operator's daily loop: the package read back, one entry changed, created again
// into the same folder. The package's own files are the sources now; unchanged, they
// stand for themselves.
TEST_F(PackageManifest, AReplaceOfAPackageReadBackReusesItsOwnUnchangedFiles) {
  ASSERT_EQ(create().status, BuildStatus::Written);
  const std::uint64_t volume = fileNumber("D/00/v.raw");
  // Written long before the record (as a package of yesterday), but for one copy
  // edited in place since.
  fs::last_write_time(dir.file(std::string("D/") + kCopyRecordName),
                      fs::file_time_type::clock::now() + std::chrono::hours(1));
  dir.write("D/01/t.jpg", dir.read("D/01/t.jpg"));  // same bytes, a new time: not trusted

  EntryList list;
  reimportPackage(dir.file("D/exhibition.nuv"), list, sink);
  ASSERT_EQ(list.entries().size(), 2u);
  entries = list.entries();
  entries[1].scenePath = dir.file("src/b/b.nuv");
  dir.write("src/b/b.nuv", "<changed />\r\n");
  const BuildReport report = replace();
  ASSERT_EQ(report.status, BuildStatus::Written) << sink.messages.front();
  // Reused: 00's four files, 01/d.png and both buttons; copied: 01/b.nuv and 01/t.jpg.
  EXPECT_EQ(report.filesReused, 7u);
  EXPECT_EQ(fileNumber("D/00/v.raw"), volume);
  EXPECT_EQ(dir.read("D/01/b.nuv"), "<changed />\r\n");
  EXPECT_EQ(problems(), (std::vector<std::pair<PackageFault, std::string>>{}));
}

// A copy stands for its record only with its size, time and status change time as
// recorded; a time not noted (a record of the earlier form, a run killed before noting)
// never passes, and where the file system keeps none (0) size and time decide.
TEST(CopyAsRecorded, NeedsTheNotedStatusChangeTimeWhereTheFileSystemKeepsOne) {
  struct Case {
    const char* name;
    std::int64_t noted;
    FileStamp now;
    bool asRecorded;
  };
  const Case cases[] = {
      {"all as recorded", 30, {1, 2, 12, 20, 30}, true},
      {"status changed since", 30, {1, 2, 12, 20, 31}, false},
      {"not noted", kChangeUnknown, {1, 2, 12, 20, 30}, false},
      {"none kept by the file system", 0, {1, 2, 12, 20, 45}, true},
      {"none kept, another time", 0, {1, 2, 12, 21, 45}, false},
      {"another size", 30, {1, 2, 13, 20, 30}, false},
  };
  for (const Case& c : cases) {
    RecordedFile record;
    record.size = 12;
    record.modified = 20;
    record.changed = c.noted;
    EXPECT_EQ(copyAsRecorded(record, c.now), c.asRecorded) << c.name;
  }
}

// A copy changed in place with its size and time put back (touch -r, cp -p, a file of
// its size moved or linked over it) still holds other bytes: a replace copies it again,
// whether the sources are the operator's or the package's own (read back), also when
// the change follows a replace killed after its swap (the next run finishes that swap
// first) or a replace that kept the copy where it was, and the new manifest vouches for
// what the package holds.
TEST_F(PackageManifest, ACopyChangedWithItsSizeAndTimePutBackIsNeverTakenForUnchanged) {
  struct Change {
    const char* name;
    std::function<void(const std::string& copy)> apply;
  };
  const auto otherFile = [this](const std::string& copy) {
    dir.write(copy + ".other", "VOLUME BYTES");  // the size of "volume bytes"
    return dir.file(copy + ".other");
  };
  const Change changes[] = {
      {"rewritten", [this](const std::string& copy) { dir.write(copy, "VOLUME BYTES"); }},
      {"another file moved over it",
       [&](const std::string& copy) { fs::rename(otherFile(copy), dir.file(copy)); }},
      {"another file linked in its place",
       [&](const std::string& copy) {
         const std::string other = otherFile(copy);
         fs::remove(dir.file(copy));
         fs::create_hard_link(other, dir.file(copy));
         fs::remove(other);
       }},
  };
  enum class Before { Nothing, ReadBack, KilledReplace, KeptByReplace };
  int run = 0;
  for (const Change& change : changes) {
    for (const Before before :
         {Before::Nothing, Before::ReadBack, Before::KilledReplace, Before::KeptByReplace}) {
      const bool readBack = before == Before::ReadBack;
      SCOPED_TRACE(std::string(change.name) + " " + std::to_string(static_cast<int>(before)));
      std::string package = "P";
      package += std::to_string(run++);
      entries.resize(2);
      ASSERT_EQ(create(package).status, BuildStatus::Written);
      if (before == Before::KilledReplace) {
        CreateRequest request;
        request.entries = entries;
        request.destination = dir.file(package);
        request.programFolder = dir.file("program");
        const StepHook killedAtFlush = [](int, const std::string& what) { return what != "flush"; };
        ASSERT_EQ(replacePackage(request, sink, nullptr, killedAtFlush).status,
                  BuildStatus::Stopped);
      }
      if (before == Before::KeptByReplace) {
        ASSERT_EQ(replace(package).status, BuildStatus::Written);
      }
      const std::string copy = package + "/00/v.raw";
      const auto time = fs::last_write_time(dir.file(copy));
      change.apply(copy);
      fs::last_write_time(dir.file(copy), time);
      std::vector<ExhibitionEntry> operators = entries;
      if (readBack) {
        EntryList list;
        reimportPackage(dir.file(package + "/exhibition.nuv"), list, sink);
        entries = list.entries();
      }
      ASSERT_EQ(replace(package).status, BuildStatus::Written) << sink.messages.front();
      EXPECT_EQ(dir.read(copy), readBack ? "VOLUME BYTES" : "volume bytes");
      EXPECT_EQ(problems(ContentCheck::Full, package),
                (std::vector<std::pair<PackageFault, std::string>>{}));
      entries = operators;
    }
  }
}

// A replace notes its copies in the record while it still holds the destination, and
// writes the record by way of its working folder: once another run may start there, the
// record no longer changes, and a write cut short leaves nothing beside it.
TEST_F(PackageManifest, TheCopiesAreNotedBeforeTheDestinationIsLetGo) {
  ASSERT_EQ(create().status, BuildStatus::Written);
  dir.write("src/b/b.nuv", "<changed />\r\n");
  CreateRequest request;
  request.entries = entries;
  request.destination = dir.file("D");
  request.programFolder = dir.file("program");
  bool looked = false;
  const StepHook atLetGo = [&](int, const std::string& what) {
    if (what != "remove the working folder") return true;
    looked = true;
    const auto record = readCopyRecordText(dir.read("D/exhibition.vesk-copies"));
    EXPECT_TRUE(record.has_value());
    for (const RecordedFile& file : record.value_or(std::vector<RecordedFile>{})) {
      if (file.path == kDocumentName) continue;  // never reused: always written anew
      EXPECT_NE(file.changed, kChangeUnknown) << file.path << " not noted yet";
    }
    for (const auto& item : fs::directory_iterator(dir.file("D"))) {
      EXPECT_FALSE(item.path().filename().string().starts_with(".exhibition"))
          << item.path() << " left beside the record";
    }
    return true;
  };
  ASSERT_EQ(replacePackage(request, sink, nullptr, atLetGo).status, BuildStatus::Written);
  EXPECT_TRUE(looked);
}

// A file of the earlier package saved by another program between the look that found
// it unchanged and its link does not stand for its source: the new package gets a copy
// of the source, and the manifest lists the bytes the package holds.
TEST_F(PackageManifest, AnEarlierFileChangedJustBeforeItsLinkIsCopiedFromItsSource) {
  ASSERT_EQ(create().status, BuildStatus::Written);
  dir.write("src/b/b.nuv", "<changed />\r\n");  // so that 01 is built anew, file by file
  FileOperations operations = systemFileOperations();
  bool saved = false;
  operations.link = [&](const std::string& from, const std::string& to, bool& noReflink) {
    if (!saved && slashed(from).ends_with("01/t.jpg")) {
      std::string other = dir.read("D/01/t.jpg");
      other[other.size() / 2] = static_cast<char>(other[other.size() / 2] ^ 1);
      dir.write("D/01/t.jpg", other);
      saved = true;
    }
    return cloneOrLink(from, to, noReflink);
  };
  CreateRequest request;
  request.entries = entries;
  request.destination = dir.file("D");
  request.programFolder = dir.file("program");
  request.operations = &operations;
  const BuildReport report = replacePackage(request, sink);
  ASSERT_EQ(report.status, BuildStatus::Written) << sink.messages.front();
  EXPECT_TRUE(saved);
  EXPECT_EQ(dir.read("D/01/t.jpg"), dir.read("src/b/t.jpg"));
  EXPECT_EQ(problems(), (std::vector<std::pair<PackageFault, std::string>>{}));
}

// Where the file system has neither reflinks nor hard links (FAT, exFAT), an unchanged
// file is copied from the earlier package: followed as any copy, and a cancel stops it
// there, the earlier package left as it was.
TEST_F(PackageManifest, WithoutLinksACancelStopsTheCopyOfAnEarlierFile) {
  ASSERT_EQ(create().status, BuildStatus::Written);
  const std::string scene = dir.read("D/01/b.nuv");
  dir.write("src/b/b.nuv", "<changed />\r\n");
  FileOperations operations = systemFileOperations();
  operations.link = [](const std::string&, const std::string&, bool&) { return CloneMethod::Copy; };
  struct CancelOnEarlierFile : BuildProgress {
    std::string earlier;
    bool seen = false;
    void fileStarted(const std::string& source) override {
      seen = seen || slashed(source).starts_with(earlier);
    }
    bool cancelRequested() override { return seen; }
  } progress;
  progress.earlier = slashed(dir.file("D")) + "/";
  CreateRequest request;
  request.entries = entries;
  request.destination = dir.file("D");
  request.programFolder = dir.file("program");
  request.operations = &operations;
  const BuildReport report = replacePackage(request, sink, &progress);
  EXPECT_TRUE(progress.seen);
  EXPECT_TRUE(report.cancelled);
  EXPECT_EQ(report.status, BuildStatus::Stopped);
  EXPECT_EQ(dir.read("D/01/b.nuv"), scene);
  EXPECT_FALSE(fs::exists(dir.file("D/.vesk-staging")));
}

// A record whose path for a file leads out of the package, or through a link in it, to
// a file of the recorded size and time offers nothing: the copy comes from the source.
TEST_F(PackageManifest, ARecordedPathOutOfThePackageIsNeverLinked) {
  // A data folder takes in whatever lies in it, a link too.
  entries.clear();
  addEntry("a",
           "<data name=\"v\"><file path=\"v.raw\" /></data>\n<data name=\"c\"><file path=\"ct\" "
           "/></data>\n",
           "");
  dir.write("src/a/ct/s.dcm", "slice");
  addEntry("b", "", "x");
  agePictures();
  dir.write("outside/secret.raw", "TOP SECRET");
  std::vector<std::string> crafted = {"../outside/secret.raw"};
#ifndef _WIN32
  crafted.push_back("00/ct/lnk/secret.raw");
#endif
  for (const std::string& path : crafted) {
    SCOPED_TRACE(path);
    fs::remove_all(dir.file("D"));
    ASSERT_EQ(create().status, BuildStatus::Written);
    auto files = readCopyRecordText(dir.read("D/exhibition.vesk-copies")).value();
    const auto secret = fileStampOf(dir.file("outside/secret.raw"));
    for (RecordedFile& file : files) {
      if (file.path != "00/v.raw") continue;
      file.path = path;
      file.size = secret->size;
      file.modified = secret->modified;
    }
    dir.write("D/exhibition.vesk-copies", copyRecordText(files));
    if (path.starts_with("00/ct/lnk")) {
      fs::create_directory_symlink(dir.file("outside"), dir.file("D/00/ct/lnk"));
    }

    // A create from the earlier package (a replace would not start: the link is not
    // the earlier package's own).
    fs::remove_all(dir.file("N"));
    CreateRequest request;
    request.entries = entries;
    request.destination = dir.file("N");
    request.programFolder = dir.file("program");
    request.earlierPackage = dir.file("D") + "/";
    ASSERT_EQ(createPackage(request, sink).status, BuildStatus::Written) << sink.messages.front();
    EXPECT_EQ(dir.read("N/00/v.raw"), "volume bytes");
    EXPECT_NE(fileNumber("N/00/v.raw"), fileNumber("outside/secret.raw"));
    EXPECT_EQ(dir.read("outside/secret.raw"), "TOP SECRET");
  }
}

#ifndef _WIN32
// The report page shows a package's own pictures: one the document reaches through a
// link in the package is not read, let alone carried inside the page.
TEST_F(PackageManifest, TheReportNeverEmbedsAPictureReachedThroughALink) {
  ASSERT_EQ(create().status, BuildStatus::Written);
  dir.copyFrom(std::string(VESK_DATA_DIR) + "/up.jpg", "outside/t.jpg");
  fs::create_directory_symlink(dir.file("outside"), dir.file("D/00/lnk"));
  fs::create_symlink(dir.file("outside/t.jpg"), dir.file("D/00/pic.jpg"));
  const std::string created = dir.read("D/exhibition.nuv");
  // Through a linked folder, and a link itself.
  for (const std::string value : {"00\\lnk\\t.jpg", "00\\pic.jpg"}) {
    std::string document = created;
    const std::size_t at = document.find("path=\"00\\t.jpg\"");
    ASSERT_NE(at, std::string::npos);
    document.replace(at, 17, "path=\"" + value + "\"");
    dir.write("D/exhibition.nuv", document);

    const auto report = readPackageReport(dir.file("D/exhibition.nuv"), PictureLinks{true, ""});
    ASSERT_TRUE(report);
    ASSERT_FALSE(report->entries.empty());
    EXPECT_EQ(report->entries[0].thumbnail.source, "") << value;
    EXPECT_FALSE(report->entries[0].thumbnail.size.has_value()) << value;
  }
  // A data value naming a linked folder: its files outside are not counted.
  std::string document = created;
  const std::size_t at = document.find("path=\"00\\v.raw\"");
  ASSERT_NE(at, std::string::npos);
  document.replace(at, 17, "path=\"00\\lnk\"");
  dir.write("D/exhibition.nuv", document);
  const auto report = readPackageReport(dir.file("D/exhibition.nuv"), PictureLinks{true, ""});
  ASSERT_TRUE(report);
  ASSERT_EQ(report->entries.at(0).data.size(), 1u);
  EXPECT_TRUE(report->entries[0].data[0].missing);
  EXPECT_EQ(report->entries[0].data[0].files, 0u);
}

// However many entries a document names, and however often it names one picture, the
// page carries at most 99 entries and a bounded amount of pictures.
TEST_F(PackageManifest, TheReportCarriesABoundedAmountOfPictures) {
  ASSERT_EQ(create().status, BuildStatus::Written);
  dir.write("D/00/t.jpg", std::string(std::size_t{1} << 20, 'p'));
  std::string document = dir.read("D/exhibition.nuv");
  std::string more;
  for (int i = 1; i < 150; ++i) {
    more += "<data name=\"me" + std::string(i < 10 ? "0" : "") + std::to_string(i) +
            "\" type=\"image\" format=\"RGB\" size=\"1, 1\" ><file type=\"jpg\" "
            "path=\"00\\t.jpg\" /></data>\r\n";
  }
  document.insert(document.find("<data name=\"me00\""), more);
  dir.write("D/exhibition.nuv", document);

  const auto report = readPackageReport(dir.file("D/exhibition.nuv"), PictureLinks{true, ""});
  ASSERT_TRUE(report);
  EXPECT_EQ(report->entries.size(), 99u);
  std::uint64_t carried = 0;
  for (const auto& entry : report->entries) carried += entry.thumbnail.source.size();
  EXPECT_GT(carried, 0u);
  EXPECT_LE(carried, std::uint64_t{64} << 20);
}
#endif

TEST_F(PackageManifest, ADataFileNamedByTwoEntriesIsReadOnceAndLinked) {
  entries.clear();
  addEntry("a", "<data name=\"v\"><file path=\"..\\shared.raw\" /></data>\n", "");
  addEntry("b", "<data name=\"v\"><file path=\"..\\shared.raw\" /></data>\n", "x");
  dir.write("src/shared.raw", "volume bytes");
  agePictures();
  const BuildReport report = create();
  ASSERT_EQ(report.status, BuildStatus::Written) << sink.messages.front();
  // 01/shared.raw is linked to 00's, which is no file of an earlier package: the
  // summary says nothing was reused.
  EXPECT_EQ(report.filesReused, 0u);
#ifndef _WIN32  // Wine gives every file a link count of 1
  EXPECT_EQ(fs::hard_link_count(dir.file("D/01/shared.raw")), 2u);
#endif
  EXPECT_EQ(dir.read("D/01/shared.raw"), "volume bytes");
  EXPECT_EQ(problems(), (std::vector<std::pair<PackageFault, std::string>>{}));
}

}  // namespace
}  // namespace vesk
