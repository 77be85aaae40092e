#include "package/failure_reason.h"

#include <cerrno>

#include "base/file_kind.h"
#include "messages/messages.h"

namespace vesk {

std::string copyFailureReason(const std::string& source, int error) {
  int kindError = 0;
  switch (fileKindOf(source, &kindError)) {
    case FileKind::Missing:
      return kReasonMissing;
    case FileKind::Other:
      return kReasonNotRegularFile;
    case FileKind::Directory:
      return kReasonIsFolder;
    case FileKind::Inaccessible:
      return systemErrorText(kindError);
    case FileKind::Regular:
      break;
  }
#ifndef _WIN32
  if (error == ENODATA) return kReasonShrank;
  if (error == EFBIG) return kReasonTooLarge;
#endif
  return systemErrorText(error);
}

std::string folderFailureReason(const std::string& path, int error) {
  std::string folder = path;
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  if (isSymbolicLink(folder) || fileKindOf(folder) != FileKind::Missing) return kReasonExists;
  return systemErrorText(error);
}

std::string withReason(const std::string& text, const std::string& reason) {
  return reason.empty() ? text : text + "\n" + reason;
}

}  // namespace vesk
