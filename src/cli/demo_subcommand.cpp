#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <system_error>
#include <vector>

#include "base/file_system.h"
#include "commands.h"
#include "interrupt_guard.h"
#include "messages/messages.h"
#include "package/build_command.h"
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

// Removes what an earlier demo recorded in its marker as made by it: its files, then
// its folders once empty. Anything else in the folder is left alone.
void removeEarlierDemo(const fs::path& destination) {
  std::ifstream marker(destination / kDemoMarker);
  std::vector<fs::path> made;
  std::string line;
  std::getline(marker, line);  // the marker's own first line
  while (std::getline(marker, line)) {
    const fs::path relative = fs::path(line).lexically_normal();
    if (line.empty() || relative.is_absolute() || *relative.begin() == "..") continue;
    made.push_back(destination / relative);
  }
  marker.close();
  std::error_code ec;
  // Deepest paths first, so that a folder is empty when its turn comes; fs::remove
  // deletes a file, a link or an empty folder, never a folder's content.
  std::sort(made.rbegin(), made.rend());
  for (const auto& path : made) fs::remove(path, ec);
  fs::remove(destination / kDemoMarker, ec);
}

// Makes `destination` ready for a fresh demo: removes what an earlier demo made,
// refuses a folder that holds anything else.
bool prepareDestination(const fs::path& destination, std::ostream& err) {
  std::error_code ec;
  if (fs::exists(destination / kDemoMarker, ec)) removeEarlierDemo(destination);
  if (fs::exists(destination, ec) && !fs::is_empty(destination, ec)) {
    err << "エラー　" << fromFsPath(destination)
        << " は空ではありません。別のフォルダを指定してください\n";
    return false;
  }
  fs::create_directories(destination, ec);
  if (ec) {
    err << kDestinationNotCreatedMessage << fromFsPath(destination) << '\n';
    return false;
  }
  return true;
}

// Records everything now in `destination` (empty before the demo) as made by it.
void writeDemoMarker(const fs::path& destination) {
  std::vector<std::string> made;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(destination, ec), end; !ec && it != end;
       it.increment(ec)) {
    made.push_back(it->path().lexically_relative(destination).generic_string());
  }
  std::ofstream marker(destination / kDemoMarker);
  marker << "Made by vesk-cli demo; the next demo replaces the paths below and nothing else.\n";
  for (const auto& path : made) marker << path << '\n';
}

}  // namespace

int runDemo(const std::string& destination, std::ostream& out, std::ostream& err) {
  EntryList list;
  if (!readManifest(sampleFolder(), list, err)) return 1;
  const fs::path target = fs::absolute(toFsPath(destination));
  if (!prepareDestination(target, err)) return 1;

  CommandSink sink(out, err);
  InterruptGuard guard(nullptr);
  const BuildReport report = createPackage({list.entries(), fromFsPath(target), {}}, sink, &guard);
  writeDemoMarker(target);
  if (report.status != BuildStatus::Written) {
    guard.endBySignal();
    return 1;
  }

  out << "Sample exhibition written to " << report.documentPath << '\n'
      << "  entries:    " << report.entryCount << '\n'
      << "  menu pages: " << report.menuPageCount << '\n'
      << "  files:      " << report.filesCopied << " copied (" << report.bytesCopied
      << " bytes), plus exhibition.nuv\n";
  return 0;
}

}  // namespace vesk::cli
