#include <ostream>

#include "commands.h"
#include "console_stream.h"
#include "messages/messages.h"
#include "package/content_verify.h"
#include "package/recovery_report.h"

namespace vesk::cli {

int runVerify(const std::string& packageDocument, bool quick, std::ostream& out,
              std::ostream& err) {
  if (const auto notice = interruptedWorkNotice(packageDocument)) {
    err << shownText(notice->text) << '\n';
    return 1;
  }
  const ContentCheck check = quick ? ContentCheck::Quick : ContentCheck::Full;
  const ContentVerdict verdict = verifyWholePackage(packageDocument, check);
  if (verdict.problems.empty()) {
    out << kVerifiedMessage << '\n' << contentNoteText(verdict, check) << '\n';
    return 0;
  }
  err << shownText(verifyFailureText(verdict.problems)) << '\n';
  return 1;
}

}  // namespace vesk::cli
