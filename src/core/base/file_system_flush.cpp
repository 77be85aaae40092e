#include "base/file_system_flush.h"

#include <cerrno>

#if defined(__linux__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vesk {

Status flushFileSystem(const std::string& folder) {
#if defined(__linux__)
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    return makeFailure(error == ENOENT ? FailureCode::NotFound : FailureCode::WriteFailed, folder,
                       error);
  }
  const int flushed = ::syncfs(fd);
  const int error = errno;
  ::close(fd);
  if (flushed != 0) return makeFailure(FailureCode::WriteFailed, folder, error);
  return {};
#else
  // Windows flushes a whole volume only for an administrator, and a flush per copied
  // file would cost a disk flush each: the copies are left to the system's cache, and
  // the document write flushes itself.
  (void)folder;
  return {};
#endif
}

}  // namespace vesk
