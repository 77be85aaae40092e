#pragma once

#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "base/failure.h"
#include "messages/messages.h"
#include "package/failure_reason.h"

namespace vesk::test {

// A directory entry at `path` that can be listed but not read while this object
// lives: a dangling symbolic link on POSIX; on Windows a file held open without any
// sharing, so that every other open fails with a sharing violation.
class UnreadableFile {
 public:
  explicit UnreadableFile(const std::filesystem::path& path) {
#ifdef _WIN32
    handle_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
#else
    std::filesystem::create_symlink(path.parent_path() / "nowhere", path);
#endif
  }
  ~UnreadableFile() {
#ifdef _WIN32
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
#endif
  }
  // The reason a copy of the file fails with: the link's target is missing on POSIX;
  // on Windows the system's text for the sharing violation.
  static std::string copyReason() {
#ifdef _WIN32
    return systemReason(ERROR_SHARING_VIOLATION);
#else
    return kReasonMissing;
#endif
  }

  UnreadableFile(const UnreadableFile&) = delete;
  UnreadableFile& operator=(const UnreadableFile&) = delete;

 private:
#ifdef _WIN32
  HANDLE handle_ = INVALID_HANDLE_VALUE;
#endif
};

}  // namespace vesk::test
