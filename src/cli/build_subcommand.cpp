#include <filesystem>
#include <ostream>
#include <system_error>

#include "base/file_system.h"
#include "commands.h"
#include "interrupt_guard.h"
#include "messages/messages.h"
#include "package/build_command.h"
#include "package/package_reimport.h"
#include "package/package_replace.h"
#include "package_document.h"
#include "stream_sink.h"

namespace vesk::cli {

int runBuild(const BuildOptions& options, std::ostream& out, std::ostream& err) {
  CommandSink sink(out, err);
  EntryList list;
  if (!options.fromPackage.empty()) {
    if (!pathExists(options.fromPackage)) {
      err << "エラー　" << options.fromPackage << " が見つかりません\n";
      return 1;
    }
    if (!isPackageDocument(options.fromPackage)) {
      sink.showMessage(errorMessage(kNotAPackageMessage + options.fromPackage));
      return 1;
    }
    reimportPackage(options.fromPackage, list, sink);
  }
  for (const auto& triple : options.entries) {
    list.workingEntry() = ExhibitionEntry{triple.at(0), triple.at(1), triple.at(2), {}};
    list.appendWorkingEntry();
  }

  // The destination is made only once the entry count has been accepted.
  if (const auto problem = entryCountProblem(list.size())) {
    sink.showMessage(*problem);
    return 1;
  }
  std::error_code ec;
  std::filesystem::create_directories(toFsPath(options.destination), ec);
  if (ec || !isDirectory(options.destination)) {
    err << kDestinationNotCreatedMessage << options.destination << '\n';
    return 1;
  }

  std::unique_ptr<TerminalProgress> progress;
  if (errIsTerminal(err)) progress = std::make_unique<TerminalProgress>(err);
  InterruptGuard guard(progress.get());
  // A replace killed earlier is finished or undone before anything else.
  recoverInterruptedReplace(options.destination);
  const CreateRequest request{list.entries(), options.destination, options.programDir};
  const BuildReport report = options.replace && holdsPackage(options.destination)
                                 ? replacePackage(request, sink, &guard)
                                 : createPackage(request, sink, &guard);
  if (report.status != BuildStatus::Written) guard.endBySignal();
  return report.status == BuildStatus::Written ? 0 : 1;
}

}  // namespace vesk::cli
