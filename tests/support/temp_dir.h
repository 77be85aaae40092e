#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vesk::test {

// A relative path written with "/" as it is joined on this platform: unchanged on
// POSIX, with "\\" for every "/" on Windows.
std::string nativePath(std::string_view relative);

// A fresh folder under the system's temporary folder for one test, removed with
// everything in it when the object goes. Paths are UTF-8 text as the core takes them.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, without a trailing separator.
  const std::string& path() const { return path_; }
  // The path of `relative` inside the folder with the platform's separator ("a/b.txt"
  // gives path() + "/a/b.txt", on Windows path() + "\\a\\b.txt").
  std::string file(std::string_view relative) const;

  // Writes `bytes` to the file at `relative`, creating missing folders on the way, and
  // returns its path.
  std::string write(std::string_view relative, std::string_view bytes) const;
  // Copies the file `source` to `relative`, creating missing folders on the way, and
  // returns its path.
  std::string copyFrom(const std::string& source, std::string_view relative) const;
  // Copies one of the dialog's test pictures (landscape.png 8x6, portrait.jpg 6x8,
  // square.bmp 5x5) to `relative` and returns its path.
  std::string picture(std::string_view relative, const std::string& sample) const;
  // Removes everything inside the folder.
  void clear() const;
  // Creates the folder at `relative` with missing parents.
  void makeFolder(std::string_view relative) const;
  // The content of the file at `relative`; records a test failure when it cannot be
  // read.
  std::string read(std::string_view relative) const;
  // The names in the folder at `relative` ("" for the top), sorted, without "." and "..".
  std::vector<std::string> names(std::string_view relative = "") const;

 private:
  std::string path_;
};

}  // namespace vesk::test
