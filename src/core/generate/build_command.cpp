#include "generate/build_command.h"

namespace vesk {

// Placeholder until the package builder lands: checks the count only.
BuildReport buildExhibition(EntryList& list, const ChooseDestination& chooseDestination,
                            const std::string& browseStartPath, std::vector<std::string>&,
                            MessageSink& sink, BuildProgress*) {
  BuildReport report;
  report.entryCount = list.size();
  if (list.empty()) {
    sink.showMessage(kNoEntriesMessage);
    return report;
  }
  if (list.size() > kMaxEntries) {
    sink.showMessage(kTooManyEntriesMessage);
    return report;
  }
  if (chooseDestination(browseStartPath).empty()) report.status = BuildStatus::ChooserCancelled;
  else report.status = BuildStatus::Stopped;
  return report;
}

}  // namespace vesk
