#include <ostream>

#include "commands.h"
#include "console_stream.h"
#include "messages/messages.h"
#include "package/package_layout.h"
#include "package/package_reimport.h"
#include "package/recovery_report.h"
#include "stream_sink.h"

namespace vesk::cli {

int runReimport(const std::string& packageDocument, std::ostream& out, std::ostream& err) {
  StreamSink sink(err);
  if (const auto notice = interruptedWorkNotice(packageDocument)) {
    sink.showMessage(*notice);
    return 1;
  }
  if (!isPackageDocument(packageDocument)) {
    sink.showMessage(errorMessage(kNotAPackageMessage + packageDocument));
    return 1;
  }
  EntryList list;
  reimportPackage(packageDocument, list, sink);
  for (const auto& entry : list.entries()) {
    out << shownText(entry.scenePath) << '\t' << shownText(entry.thumbnailPath) << '\t'
        << shownText(entry.descriptionPath) << '\n';
  }
  // Entries that lack a file were reported: the listing is not the whole package.
  return sink.messageCount() == 0 ? 0 : 1;
}

}  // namespace vesk::cli
