#include <ostream>

#include "base/file_kind.h"
#include "base/file_stamp.h"
#include "base/path_terms.h"
#include "commands.h"
#include "console_stream.h"
#include "format/two_digits.h"
#include "messages/messages.h"
#include "messages/report_texts.h"
#include "package/build_command.h"
#include "package/content_verify.h"
#include "package/package_layout.h"
#include "package/package_report_file.h"

namespace vesk::cli {

namespace {

// True when `path` is a file of the package whose folder is `folder`: the document, the
// manifest, the copy record, a button image, or a file of an entry folder.
bool isPackageFile(const std::string& path, const std::string& folder) {
  const auto file = identityOf(path);
  if (!file) return false;
  for (const char* name :
       {kDocumentName, kManifestName, kCopyRecordName, kUpButtonName, kDownButtonName}) {
    if (identityOf(folder + name) == file) return true;
  }
  const auto holder = identityOf(folderOf(path).empty() ? "." : folderOf(path));
  for (int n = 0; holder && n < static_cast<int>(kMaxEntries); ++n) {
    const auto entryFolder = identityOf(folder + twoDigits(n));
    if (!entryFolder) break;
    if (entryFolder == holder) return true;
  }
  return false;
}

}  // namespace

int runReport(const std::string& packageDocument, const std::string& outputPath, std::ostream& out,
              std::ostream& err) {
  // What verify refuses unread is refused here too: the report would read it whole.
  if (!isDocumentToRead(packageDocument)) {
    err << kNotAPackageMessage << shownText(packageDocument) << '\n';
    return 1;
  }
  if (!outputPath.empty() && isPackageFile(outputPath, folderOf(packageDocument))) {
    err << kReportOutIsPackageFile << shownText(outputPath) << '\n';
    return 1;
  }
  const std::string target = outputPath.empty() ? reportPathOf(packageDocument) : outputPath;
  // The page is written in place of what is there: never in place of a link.
  if (isSymbolicLink(target)) {
    err << kReportOutIsLink << shownText(target) << '\n';
    return 1;
  }
  const Status written = writePackageReport(packageDocument, target);
  if (!written) {
    err << shownText(reportFailureText(written.failure())) << '\n';
    return 1;
  }
  out << kReportWrittenMessage << shownText(target) << '\n';
  return 0;
}

}  // namespace vesk::cli
