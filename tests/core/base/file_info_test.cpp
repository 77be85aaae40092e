#include "base/file_info.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/file_stamp.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

// A folder's files looked at relative to the open folder tell what a look at each whole
// path tells, links followed; a folder that cannot be opened falls back to the paths.
TEST(FolderFileInfo, TellsWhatFileInfoOfTells) {
  vesk::test::TempDir dir;
  dir.write("f/file.raw", "eleven byte");
  dir.write("f/empty.raw", "");
  dir.makeFolder("f/sub");
  std::vector<std::string> names = {"file.raw", "empty.raw", "sub", "missing.raw"};
#ifndef _WIN32
  fs::create_symlink(dir.file("f/file.raw"), dir.file("f/link.raw"));
  fs::create_symlink(dir.file("f/nothing"), dir.file("f/dangling.raw"));
  ASSERT_EQ(::mkfifo(dir.file("f/pipe").c_str(), 0600), 0);
  names.insert(names.end(), {"link.raw", "dangling.raw", "pipe"});
#endif
#ifndef _WIN32
  // The identity a look tells is the one a file's stamp tells, the link followed.
  const auto stamp = fileStampOf(dir.file("f/file.raw"));
  ASSERT_TRUE(stamp);
  for (const std::string name : {"f/file.raw", "f/link.raw"}) {
    const FileInfo info = fileInfoOf(dir.file(name));
    EXPECT_EQ(info.device, stamp->device) << name;
    EXPECT_EQ(info.file, stamp->file) << name;
  }
#endif
  for (const std::string& folder : {dir.file("f") + "/", dir.file("no-such-folder") + "/"}) {
    const FolderFileInfo files(folder);
    for (const std::string& name : names) {
      SCOPED_TRACE(folder + name);
      const FileInfo expected = fileInfoOf(folder + name);
      const FileInfo got = files.infoOf(name);
      EXPECT_EQ(got.kind, expected.kind);
      EXPECT_EQ(got.size, expected.size);
      EXPECT_EQ(got.readable, expected.readable);
      EXPECT_EQ(got.error, expected.error);
      EXPECT_EQ(got.modified, expected.modified);
      EXPECT_EQ(got.device, expected.device);
      EXPECT_EQ(got.file, expected.file);
    }
  }
}

}  // namespace
}  // namespace vesk
