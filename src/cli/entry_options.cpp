#include "entry_options.h"
#include "console_stream.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "base/file_stamp.h"
#include "base/file_system.h"
#include "base/path_terms.h"
#include "messages/command_line_texts.h"
#include "messages/messages.h"
#include "package/build_command.h"
#include "package/package_layout.h"
#include "package/package_reimport.h"
#include "package/recovery_report.h"

namespace vesk::cli {

void addEntryOptions(CLI::App& command, BuildOptions& options) {
  command.add_option("--dest", options.destination, kCliDestination)
      ->required()
      ->type_name("FOLDER");
  command.add_option("--program-dir", options.programDir, kCliProgramFolder)->type_name("FOLDER");
  command.add_option("--from", options.fromPackage, kCliFrom)->type_name("PACKAGE_DOC");
  command.add_flag("--replace", options.replace, kCliReplace);
  command.add_flag("--report", options.report, kCliReportFlag);
  command.add_option("--entry", options.entries, kCliEntry)
      ->type_name("SCENE THUMB DESC")
      ->type_size(3)
      ->expected(0, CLI::detail::expected_max_vector_size);
}

namespace {

// Passes messages on, counting them.
struct CountingSink : MessageSink {
  explicit CountingSink(MessageSink& inner) : inner(inner) {}
  void showMessage(const Message& message) override {
    ++count;
    inner.showMessage(message);
  }
  bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) override {
    return inner.askYesNo(text, defaultAnswer);
  }
  MessageSink& inner;
  int count = 0;
};

// True when the two paths name one folder.
bool isSameFolder(const std::string& a, const std::string& b) {
  const auto first = identityOf(a.empty() ? "." : a);
  const auto second = identityOf(b);
  return first && second && *first == *second;
}

}  // namespace

std::optional<int> gatherEntries(const BuildOptions& options, EntryList& list, MessageSink& sink,
                                 std::ostream& err, const UndoPlaces* placesUntilUndo) {
  const UndoPlaces none;
  const UndoPlaces& places = placesUntilUndo != nullptr ? *placesUntilUndo : none;
  if (!options.fromPackage.empty()) {
    // The check of a create that reads back its own destination's package sees it as
    // the create will, after the create has undone what a killed run left there.
    const bool untilUndo =
        !places.empty() && isSameFolder(folderOf(options.fromPackage), options.destination);
    const std::string folder = folderOf(options.fromPackage);
    const auto placeOf = [&](const std::string& name) {
      return untilUndo ? places.now(joinPath(options.destination, name)) : folder + name;
    };
    if (!untilUndo) {
      // A package halfway through a replace is read back once the next run there has
      // finished it, not as the mixture it is. Asked first: its document may be aside.
      if (const auto notice = interruptedWorkNotice(options.fromPackage)) {
        sink.showMessage(*notice);
        return 1;
      }
    }
    const std::string document = placeOf(fileNameOf(options.fromPackage));
    if (!pathExists(document)) {
      err << "エラー　" << shownText(options.fromPackage) << " が見つかりません\n";
      return 1;
    }
    if (!isPackageDocument(document, placeOf(entryFolderName(0)))) {
      sink.showMessage(errorMessage(kNotAPackageMessage + options.fromPackage));
      return 1;
    }
    // A folder read without a file, or left unread, would be a package short of an
    // entry: what the re-import reported stops the run.
    CountingSink counted(sink);
    reimportPackageAt(placeOf, list, counted);
    if (counted.count > 0) return 1;
  }
  for (const auto& triple : options.entries) {
    // A scene typed without a folder lies in the current one, where its files are found.
    list.workingEntry() = ExhibitionEntry{places.now(withFolder(triple.at(0))),
                                          places.now(triple.at(1)),
                                          places.now(triple.at(2)),
                                          {}};
    list.appendWorkingEntry();
  }
  if (const auto problem = entryCountProblem(list.size())) {
    sink.showMessage(*problem);
    return 1;
  }
  return std::nullopt;
}

}  // namespace vesk::cli
