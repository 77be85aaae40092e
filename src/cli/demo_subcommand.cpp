#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <system_error>

#include "base/file_system.h"
#include "checked_build.h"
#include "commands.h"
#include "interrupt_guard.h"
#include "messages/command_line_texts.h"
#include "messages/message_template.h"
#include "messages/messages.h"
#include "package/build_command.h"
#include "package/package_layout.h"
#include "package/package_replace.h"
#include "package/recovery_report.h"
#include "stream_sink.h"

namespace vesk::cli {

namespace {

namespace fs = std::filesystem;

// Marks a folder as made by the demo, so that the next demo may replace it.
constexpr const char* kDemoMarker = ".vesk-demo";

// The bundled sample, found from the program folder: sample\ beside the programs in the
// Windows package, else the build tree's copy, else the installed one. The last place
// tried is the one an error names.
fs::path sampleFolder() {
  std::error_code ec;
  const fs::path program = toFsPath(programFolder());
  if (fs::exists(program / "sample" / "entries.tsv", ec)) return program / "sample";
  const fs::path built = (program / VESK_SAMPLE_FROM_BUILD_PROGRAM_DIR).lexically_normal();
  if (fs::exists(built / "entries.tsv", ec)) return built;
  return (program / VESK_SAMPLE_FROM_INSTALLED_PROGRAM_DIR).lexically_normal();
}

// Reads the sample's manifest: per line the scene, thumbnail and description,
// relative to the sample folder and separated by tabs.
bool readManifest(const fs::path& folder, EntryList& list, std::ostream& err) {
  std::ifstream manifest(folder / "entries.tsv");
  if (!manifest) {
    err << "エラー　サンプルが見つかりません: " << fromFsPath(folder / "entries.tsv") << '\n';
    return false;
  }
  std::string line;
  while (std::getline(manifest, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string scene, thumbnail, description;
    std::getline(fields, scene, '\t');
    std::getline(fields, thumbnail, '\t');
    std::getline(fields, description, '\t');
    list.workingEntry() = ExhibitionEntry{fromFsPath(folder / toFsPath(scene)),
                                          fromFsPath(folder / toFsPath(thumbnail)),
                                          fromFsPath(folder / toFsPath(description)),
                                          {}};
    list.appendWorkingEntry();
  }
  return true;
}

// Marks `destination` as holding a demo: the next demo may replace its package.
void writeDemoMarker(const fs::path& destination) {
  std::ofstream marker(destination / kDemoMarker);
  marker << "Made by vesk-cli demo; the next demo replaces the package here as a build "
            "--replace would.\n";
}

}  // namespace

int runDemo(const std::string& destination, std::ostream& out, std::ostream& err) {
  // An empty folder name names no folder (not the current one).
  if (destination.empty()) {
    err << fillTemplate(kCliArgumentMissing, {{"name", "DIR"}}) << '\n' << kCliSeeHelp << '\n';
    return 2;
  }
  EntryList list;
  if (!readManifest(sampleFolder(), list, err)) return 1;
  const fs::path target = fs::absolute(toFsPath(destination));
  CommandSink sink(out, err);
  if (!recoverBeforeRun(fromFsPath(target), sink)) return 1;

  // An earlier demo's package is replaced as build --replace replaces one: whole or
  // not at all, refused when anything in it is not the package's own. Any other folder
  // must be empty.
  std::error_code ec;
  const bool earlierDemo = fs::is_regular_file(fs::symlink_status(target / kDemoMarker, ec)) &&
                           holdsPackage(fromFsPath(target));
  const fs::file_status found = fs::symlink_status(target, ec);
  if (fs::exists(found) && !fs::is_directory(found)) {
    err << fillTemplate(kCliDemoNotAFolder, {{"path", fromFsPath(target)}}) << '\n';
    return 1;
  }
  if (!earlierDemo && fs::exists(found) && !fs::is_empty(target, ec)) {
    err << fillTemplate(kCliDemoNotEmpty, {{"path", fromFsPath(target)}}) << '\n';
    return 1;
  }

  // Checked first as a build is: its warnings shown and counted in the summary.
  InterruptGuard guard(nullptr);
  BuildOptions options;
  options.destination = fromFsPath(target);
  const BuildReport report = checkThenBuild(list.entries(), options, earlierDemo, sink, err, guard);
  if (report.status != BuildStatus::Written) {
    guard.endBySignal();
    return 1;
  }
  if (!earlierDemo) writeDemoMarker(target);

  // The report's copied files include the reused ones: told apart here.
  out << fillTemplate(report.filesReused == 0 ? kCliDemoWritten : kCliDemoWrittenReusing,
                      {{"path", report.documentPath},
                       {"entries", std::to_string(report.entryCount)},
                       {"pages", std::to_string(report.menuPageCount)},
                       {"files", std::to_string(report.filesCopied - report.filesReused)},
                       {"bytes", std::to_string(report.bytesCopied - report.bytesReused)},
                       {"reused", std::to_string(report.filesReused)},
                       {"reusedBytes", std::to_string(report.bytesReused)}})
      << '\n';
  return 0;
}

}  // namespace vesk::cli
