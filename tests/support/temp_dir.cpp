#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "base/file_system.h"

namespace vesk::test {
namespace fs = std::filesystem;

TempDir::TempDir() {
  std::random_device random;
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = base / ("vesk-test-" + std::to_string(random()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = fromFsPath(candidate);
      return;
    }
  }
  ADD_FAILURE() << "no temporary folder could be created under " << base;
}

TempDir::~TempDir() {
  if (path_.empty()) return;
  std::error_code error;
  // Let removal reach into folders a test made read-only.
  for (auto it = fs::recursive_directory_iterator(toFsPath(path_), error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_directory(error) && !it->is_symlink(error)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
  }
  fs::remove_all(toFsPath(path_), error);
}

std::string nativePath(std::string_view relative) {
  std::string native(relative);
#ifdef _WIN32
  std::replace(native.begin(), native.end(), '/', '\\');
#endif
  return native;
}

std::string TempDir::file(std::string_view relative) const {
  // Paths as the platform gives them, so that they compare equal to what the core joins.
  return path_ + nativePath("/") + nativePath(relative);
}

std::string TempDir::write(std::string_view relative, std::string_view bytes) const {
  const fs::path target = toFsPath(file(relative));
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) ADD_FAILURE() << "could not write " << file(relative);
  return file(relative);
}

std::string TempDir::copyFrom(const std::string& source, std::string_view relative) const {
  const fs::path target = toFsPath(file(relative));
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  fs::copy_file(toFsPath(source), target, fs::copy_options::overwrite_existing, error);
  if (error) ADD_FAILURE() << "could not copy " << source << ": " << error.message();
  return file(relative);
}

std::string TempDir::picture(std::string_view relative, const std::string& sample) const {
  return copyFrom(std::string(VESK_TEST_DATA_DIR) + "/gui/" + sample, relative);
}

void TempDir::clear() const {
  std::error_code error;
  for (auto it = fs::directory_iterator(toFsPath(path_), error);
       !error && it != fs::directory_iterator(); it.increment(error)) {
    fs::remove_all(it->path(), error);
  }
}

void TempDir::makeFolder(std::string_view relative) const {
  std::error_code error;
  fs::create_directories(toFsPath(file(relative)), error);
  if (error) ADD_FAILURE() << "could not create " << file(relative) << ": " << error.message();
}

std::string TempDir::read(std::string_view relative) const {
  std::ifstream in(toFsPath(file(relative)), std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "could not read " << file(relative);
    return {};
  }
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> TempDir::names(std::string_view relative) const {
  std::vector<std::string> found;
  std::error_code error;
  const fs::path folder = toFsPath(relative.empty() ? path_ : file(relative));
  for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator();
       it.increment(error)) {
    found.push_back(fromFsPath(it->path().filename()));
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace vesk::test
