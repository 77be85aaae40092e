#include <ostream>

#include "commands.h"
#include "messages/messages.h"
#include "messages/report_texts.h"
#include "package/package_layout.h"
#include "package/package_report_file.h"

namespace vesk::cli {

int runReport(const std::string& packageDocument, const std::string& outputPath, std::ostream& out,
              std::ostream& err) {
  if (!isPackageDocument(packageDocument)) {
    err << kNotAPackageMessage << packageDocument << '\n';
    return 1;
  }
  const std::string target = outputPath.empty() ? reportPathOf(packageDocument) : outputPath;
  const Status written = writePackageReport(packageDocument, target);
  if (!written) {
    err << reportFailureText(written.failure()) << '\n';
    return 1;
  }
  out << kReportWrittenMessage << target << '\n';
  return 0;
}

}  // namespace vesk::cli
