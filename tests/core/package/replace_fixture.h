#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "package/build_command.h"
#include "package/package_check.h"
#include "package/package_layout.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace vesk::test {

// An earlier package and the sources of a new one, for the tests of the replace.

namespace fs = std::filesystem;

// Every file under `root` with its content, folders as "<dir>", by relative path.
inline std::map<std::string, std::string> snapshot(const std::string& root) {
  std::map<std::string, std::string> tree;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    const std::string relative = fs::relative(item.path(), root).generic_string();
    if (item.is_directory()) {
      tree[relative] = "<dir>";
    } else if (relative == kCopyRecordName) {
      // Holds times and file numbers: which package it belongs to, the manifest says.
      tree[relative] = "<record>";
    } else {
      std::ifstream in(item.path(), std::ios::binary);
      tree[relative] = std::string(std::istreambuf_iterator<char>(in), {});
    }
  }
  return tree;
}

class PackageReplace : public ::testing::Test {
 public:
  void SetUp() override {
    dir.copyFrom(std::string(VESK_DATA_DIR) + "/up.jpg", "program/up.jpg");
    dir.copyFrom(std::string(VESK_DATA_DIR) + "/down.jpg", "program/down.jpg");
    for (const std::string name : {"a", "b", "c"}) {
      const std::string folder = "src/" + name + "/";
      dir.write(folder + name + ".nuv",
                "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n<drawGroup name=\"" + name +
                    "Sur\" ></drawGroup>\r\n");
      dir.write(folder + "v.raw", "volume " + name);
      dir.copyFrom(std::string(VESK_TEST_DATA_DIR) + "/pictures/landscape-320x240.jpg",
                   folder + "t.jpg");
      dir.copyFrom(std::string(VESK_TEST_DATA_DIR) + "/pictures/portrait-480x640.png",
                   folder + "d.png");
    }
  }

  std::vector<ExhibitionEntry> entries(const std::vector<std::string>& names) const {
    std::vector<ExhibitionEntry> list;
    for (const auto& name : names) {
      const std::string folder = "src/" + name + "/";
      list.push_back({dir.file(folder + name + ".nuv"),
                      dir.file(folder + "t.jpg"),
                      dir.file(folder + "d.png"),
                      {}});
    }
    return list;
  }

  CreateRequest request(const std::vector<std::string>& names, const std::string& dest) const {
    return {entries(names), dir.file(dest), dir.file("program")};
  }

  // The check of the same entries into `dest`, as the next build runs it.
  CheckRequest checkRequest(const std::vector<std::string>& names, const std::string& dest,
                            bool replacing) const {
    CheckRequest check;
    check.entries = entries(names);
    check.destination = dir.file(dest);
    check.replacing = replacing;
    check.programFolder = dir.file("program");
    return check;
  }

  // An earlier package of a and b in D, with a file and a numbered folder of the
  // operator's beside it (not the package's: its document names 00 and 01 only), and
  // the new package of c, b and a made apart in N, with the same two, for comparison.
  void makeEarlierAndExpected() {
    fs::create_directories(dir.file("D"));
    ASSERT_EQ(createPackage(request({"a", "b"}, "D"), sink).status, BuildStatus::Written);
    dir.write("D/notes.txt", "the operator's own");
    dir.write("D/07/keep.txt", "an old folder the new package does not have");
    earlier = snapshot(dir.file("D"));
    fs::create_directories(dir.file("N"));
    ASSERT_EQ(createPackage(request({"c", "b", "a"}, "N"), sink).status, BuildStatus::Written);
    dir.write("N/notes.txt", "the operator's own");
    dir.write("N/07/keep.txt", "an old folder the new package does not have");
    replaced = snapshot(dir.file("N"));
    sink.messages.clear();
    sink.kinds.clear();
  }

  TempDir dir;
  RecordingSink sink;
  std::map<std::string, std::string> earlier, replaced;
};

}  // namespace vesk::test
