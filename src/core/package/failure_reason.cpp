#include "package/failure_reason.h"

#include <cerrno>

#include "base/file_kind.h"
#include "messages/message_template.h"
#include "messages/messages.h"
#include "messages/system_reasons.h"

namespace vesk {

std::string systemReason(int systemError) {
  if (systemError == 0) return {};
  if (const char* text = japaneseSystemReason(systemError)) return text;
  return fillTemplate(kReasonOtherSystemError, {{"number", std::to_string(systemError)},
                                                {"text", systemErrorText(systemError)}});
}

std::string copyFailureReason(const std::string& source, const Failure& failure) {
  if (failure.code == FailureCode::HashUnavailable) return kReasonHashUnavailable;
  const Result<FileKind> kind = fileKindOf(source);
  if (!kind) return systemReason(kind.failure().systemError);
  switch (*kind) {
    case FileKind::Missing:
      return kReasonMissing;
    case FileKind::Other:
      return kReasonNotRegularFile;
    case FileKind::Directory:
      return kReasonIsFolder;
    case FileKind::Inaccessible:
    case FileKind::Regular:
      break;
  }
  if (failure.code == FailureCode::NotRegularFile) {
    // The target is what is not a regular file.
    return failure.path + ": " + kReasonNotRegularFile;
  }
#ifndef _WIN32
  if (failure.systemError == ENODATA) return kReasonShrank;
  if (failure.systemError == EFBIG) return kReasonTooLarge;
#endif
  return systemReason(failure.systemError);
}

std::string folderFailureReason(const Failure& failure) {
  if (failure.code == FailureCode::AlreadyExists) return kReasonExists;
  return systemReason(failure.systemError);
}

std::string withReason(const std::string& text, const std::string& reason) {
  return reason.empty() ? text : text + "\n" + reason;
}

}  // namespace vesk
