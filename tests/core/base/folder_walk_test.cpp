#include "base/folder_walk.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <string>
#include <vector>

#include "base/file_stamp.h"
#include "base/file_system.h"
#include "base/folder_sizes.h"
#include "base/path_terms.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

const std::string kSep(1, kPathSeparator);

// A folder below `base` whose path is at least 300 characters long, made one folder
// at a time through base (std::filesystem does not take such paths on Windows).
std::string makeLongFolder(const std::string& base) {
  std::string path = base;
  for (char c = 'a'; path.size() < 300; ++c) {
    path += kSep + std::string(60, c);
    EXPECT_TRUE(createDirectory(path)) << path;
  }
  return path;
}

// Writes a small file at `path` through base, which takes long paths.
void writeThrough(const test::TempDir& dir, const std::string& path, const std::string& bytes) {
  const std::string source = dir.write("source.tmp", bytes);
  ASSERT_TRUE(copyFile(source, path)) << path;
}

std::vector<std::string> listed(const std::string& folder) {
  std::vector<std::string> lines;
  const Result<std::vector<FolderEntry>> entries = listFolder(folder);
  if (!entries) return {"failed"};
  for (const FolderEntry& entry : *entries) {
    const char* type = entry.type == EntryType::File     ? "file"
                       : entry.type == EntryType::Folder ? "folder"
                       : entry.type == EntryType::Link   ? "link"
                                                         : "other";
    lines.push_back(entry.name + " " + type);
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

// The walks, renames and removals behave the same in a short folder and in one past
// the classic 260-character limit of Windows.
class FolderWalk : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    base = GetParam() ? makeLongFolder(dir.path()) : dir.file("short");
    if (!GetParam()) {
      ASSERT_TRUE(createDirectory(base));
    }
  }
  // A long tree must be gone before TempDir removes the rest with std::filesystem.
  void TearDown() override {
    EXPECT_TRUE(
        removeTree(dir.path() + kSep + (GetParam() ? std::string(60, 'a') : std::string("short"))));
  }

  test::TempDir dir;
  std::string base;
};

INSTANTIATE_TEST_SUITE_P(Paths, FolderWalk, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Long" : "Short"; });

TEST_P(FolderWalk, ListsEveryEntryWithItsTypeButDotAndDotDot) {
  writeThrough(dir, base + kSep + "a.raw", "a");
  ASSERT_TRUE(createDirectory(base + kSep + "sub"));
  writeThrough(dir, base + kSep + "sub" + kSep + "inner.raw", "i");
  std::vector<std::string> expected{"a.raw file", "sub folder"};
#ifndef _WIN32
  ASSERT_EQ(::symlink(dir.path().c_str(), (base + "/up").c_str()), 0);
  expected.push_back("up link");
#endif
  EXPECT_EQ(listed(base), expected);
  EXPECT_EQ(listed(base + kSep + "sub"), std::vector<std::string>{"inner.raw file"});
  ASSERT_TRUE(createDirectory(base + kSep + "empty"));
  EXPECT_EQ(listed(base + kSep + "empty"), std::vector<std::string>{});
}

// A listing with stamps tells each regular file what a look at its path tells, and
// names what is not one as the plain listing does.
TEST_P(FolderWalk, ListsEveryRegularFileWithItsStamp) {
  writeThrough(dir, base + kSep + "a.raw", "a");
  writeThrough(dir, base + kSep + "b.raw", "bytes");
  ASSERT_TRUE(createDirectory(base + kSep + "sub"));
#ifndef _WIN32
  ASSERT_EQ(::symlink((base + "/a.raw").c_str(), (base + "/up").c_str()), 0);
#endif
  const Result<std::vector<StampedEntry>> entries = listFolderStamps(base);
  ASSERT_TRUE(entries);
  std::vector<std::string> lines;
  for (const StampedEntry& entry : *entries) {
    lines.push_back(entry.name + (entry.type == EntryType::File     ? " file"
                                  : entry.type == EntryType::Folder ? " folder"
                                  : entry.type == EntryType::Link   ? " link"
                                                                    : " other"));
    if (entry.type != EntryType::File) continue;
    const auto stamp = fileStampOf(base + kSep + entry.name);
    ASSERT_TRUE(stamp) << entry.name;
    EXPECT_EQ(entry.stamp.device, stamp->device) << entry.name;
    EXPECT_EQ(entry.stamp.file, stamp->file) << entry.name;
    EXPECT_EQ(entry.stamp.size, stamp->size) << entry.name;
    EXPECT_EQ(entry.stamp.modified, stamp->modified) << entry.name;
  }
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, listed(base));
  const Result<std::vector<StampedEntry>> missing = listFolderStamps(base + kSep + "missing");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.failure().code, FailureCode::NotFound);
}

TEST_P(FolderWalk, AFolderThatCannotBeListedIsAFailureNamingIt) {
  writeThrough(dir, base + kSep + "file.raw", "x");
  struct Case {
    std::string path;
    FailureCode code;
  };
  const Case cases[] = {
      {base + kSep + "missing", FailureCode::NotFound},
      {base + kSep + "missing" + kSep + "deeper", FailureCode::NotFound},
      {base + kSep + "file.raw", FailureCode::NotRegularFile},
  };
  for (const Case& c : cases) {
    const Result<std::vector<FolderEntry>> entries = listFolder(c.path);
    ASSERT_FALSE(entries) << c.path;
    EXPECT_EQ(entries.failure().code, c.code) << c.path;
    EXPECT_EQ(entries.failure().path, c.path);
  }
}

TEST_P(FolderWalk, RenameMovesAFileOrFolderButNeverReplacesWhatIsThere) {
  const auto at = [&](const std::string& name) { return base + kSep + name; };
  writeThrough(dir, at("a.raw"), "a");
  writeThrough(dir, at("b.raw"), "b");
  ASSERT_TRUE(createDirectory(at("folder")));
  writeThrough(dir, at("folder") + kSep + "in.raw", "in");
  ASSERT_TRUE(createDirectory(at("other")));
  struct Case {
    std::string from, to;
    bool ok;
    FailureCode code;
  };
  const Case cases[] = {
      {"a.raw", "renamed.raw", true, {}},
      {"folder", "moved", true, {}},
      {"b.raw", "renamed.raw", false, FailureCode::AlreadyExists},
      {"moved", "other", false, FailureCode::AlreadyExists},
      {"gone.raw", "new.raw", false, FailureCode::NotFound},
  };
  for (const Case& c : cases) {
    const Status renamed = renamePath(at(c.from), at(c.to));
    EXPECT_EQ(bool(renamed), c.ok) << c.from << " -> " << c.to;
    if (!renamed) {
      EXPECT_EQ(renamed.failure().code, c.code) << c.from << " -> " << c.to;
    }
  }
  EXPECT_EQ(listed(base), (std::vector<std::string>{"b.raw file", "moved folder", "other folder",
                                                    "renamed.raw file"}));
  EXPECT_EQ(readFile(at("renamed.raw")).value_or(""), "a");
  EXPECT_EQ(readFile(at("b.raw")).value_or(""), "b");
  EXPECT_EQ(listed(at("moved")), std::vector<std::string>{"in.raw file"});
}

TEST_P(FolderWalk, RemoveTreeRemovesEverythingInsideButNothingALinkLeadsTo) {
  const std::string tree = base + kSep + "tree";
  ASSERT_TRUE(createDirectory(tree));
  ASSERT_TRUE(createDirectory(tree + kSep + "a"));
  ASSERT_TRUE(createDirectory(tree + kSep + "a" + kSep + "b"));
  writeThrough(dir, tree + kSep + "a" + kSep + "b" + kSep + "deep.raw", "d");
  writeThrough(dir, tree + kSep + "top.raw", "t");
  const std::string outside = dir.write("outside/kept.raw", "kept");
  // Large files, one of them with another name outside: freed after their names go.
  const std::string large(std::size_t{3} << 20, 'L');
  writeThrough(dir, tree + kSep + "a" + kSep + "large.raw", large);
  const std::string shared = dir.write("outside/shared.raw", large);
#ifndef _WIN32
  ASSERT_EQ(::symlink(dir.file("outside").c_str(), (tree + "/a/to-outside").c_str()), 0);
  ASSERT_EQ(::symlink(outside.c_str(), (tree + "/to-file").c_str()), 0);
  ASSERT_EQ(::link(shared.c_str(), (tree + "/shared.raw").c_str()), 0);
#endif
  EXPECT_TRUE(removeTree(tree));
  EXPECT_FALSE(pathExists(tree));
  EXPECT_EQ(dir.read("outside/kept.raw"), "kept");
  EXPECT_EQ(dir.read("outside/shared.raw"), large);
  // Nothing there is nothing to do; a single file goes as well.
  EXPECT_TRUE(removeTree(tree));
  writeThrough(dir, base + kSep + "single.raw", "s");
  EXPECT_TRUE(removeTree(base + kSep + "single.raw"));
  EXPECT_EQ(listed(base), std::vector<std::string>{});
}

TEST_P(FolderWalk, EntryTypeOfTellsWhatIsThereWithoutFollowingALink) {
  writeThrough(dir, base + kSep + "f.raw", "f");
  EXPECT_EQ(entryTypeOf(base + kSep + "f.raw").value_or(EntryType::Other), EntryType::File);
  EXPECT_EQ(entryTypeOf(base).value_or(EntryType::Other), EntryType::Folder);
  const Result<EntryType> missing = entryTypeOf(base + kSep + "missing");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.failure().code, FailureCode::NotFound);
  // Below a file nothing is there either.
  const Result<EntryType> underFile = entryTypeOf(base + kSep + "f.raw" + kSep + "x");
  ASSERT_FALSE(underFile);
  EXPECT_EQ(underFile.failure().code, FailureCode::NotFound);
#ifndef _WIN32
  ASSERT_EQ(::symlink("/nonexistent", (base + "/dangling").c_str()), 0);
  EXPECT_EQ(entryTypeOf(base + "/dangling").value_or(EntryType::Other), EntryType::Link);
#endif
}

TEST_P(FolderWalk, RemoveEmptyFolderRemovesOnlyAnEmptyFolder) {
  const std::string empty = base + kSep + "empty";
  const std::string full = base + kSep + "full";
  ASSERT_TRUE(createDirectory(empty));
  ASSERT_TRUE(createDirectory(full));
  writeThrough(dir, full + kSep + "kept.raw", "k");
  writeThrough(dir, base + kSep + "file.raw", "f");
  struct Case {
    std::string path;
    bool ok;
  };
  const Case cases[] = {
      {full, false},                      // holds a file, which stays
      {base + kSep + "file.raw", false},  // no folder
      {base + kSep + "missing", false},
      {empty, true},
  };
  for (const Case& c : cases) EXPECT_EQ(bool(removeEmptyFolder(c.path)), c.ok) << c.path;
  EXPECT_EQ(readFile(full + kSep + "kept.raw").value_or(""), "k");
  EXPECT_EQ(readFile(base + kSep + "file.raw").value_or(""), "f");
  EXPECT_EQ(listed(base), (std::vector<std::string>{"file.raw file", "full folder"}));
#ifndef _WIN32
  // A link to a folder is not removed as one, nor is the folder it leads to.
  ASSERT_EQ(::symlink(full.c_str(), (base + "/to-full").c_str()), 0);
  EXPECT_FALSE(removeEmptyFolder(base + "/to-full"));
  EXPECT_EQ(entryTypeOf(base + "/to-full").value_or(EntryType::Other), EntryType::Link);
#endif
}

TEST_P(FolderWalk, CreateFoldersMakesEveryMissingFolderOnTheWay) {
  const std::string deep = base + kSep + "x" + kSep + "y" + kSep + "z";
  writeThrough(dir, base + kSep + "file.raw", "f");
  struct Case {
    std::string path;
    bool ok;
  };
  const Case cases[] = {
      {deep, true},
      {deep, true},  // already there
      {deep + kSep, true},
      {base + kSep + "file.raw", false},
      {base + kSep + "file.raw" + kSep + "under", false},
  };
  for (const Case& c : cases) EXPECT_EQ(bool(createFolders(c.path)), c.ok) << c.path;
  EXPECT_EQ(entryTypeOf(deep).value_or(EntryType::Other), EntryType::Folder);
  EXPECT_EQ(readFile(base + kSep + "file.raw").value_or(""), "f");
}

}  // namespace
}  // namespace vesk
