#include <ostream>

#include "commands.h"
#include "package/package_reimport.h"
#include "stream_sink.h"

namespace vesk::cli {

int runReimport(const std::string& packageDocument, std::ostream& out, std::ostream& err) {
  StreamSink sink(err);
  EntryList list;
  reimportPackage(packageDocument, list, sink);
  for (const auto& entry : list.entries()) {
    out << entry.scenePath << '\t' << entry.thumbnailPath << '\t' << entry.descriptionPath << '\n';
  }
  return 0;
}

}  // namespace vesk::cli
