#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <system_error>

#include "commands.h"
#include "generate/build_command.h"
#include "platform/file_system.h"
#include "stream_sink.h"

namespace vesk::cli {

namespace {

namespace fs = std::filesystem;

// Marks a folder as made by the demo, so that the next demo may replace it.
constexpr const char* kDemoMarker = ".vesk-demo";

// The bundled sample: in the program folder of the Windows package, beside the
// sources in a build tree, under share/ once installed.
fs::path sampleFolder() {
  std::error_code ec;
  const fs::path program = toFsPath(programFolder());
  if (fs::exists(program / "sample" / "entries.tsv", ec)) return program / "sample";
  const fs::path built = VESK_SAMPLE_DIR;
  if (fs::exists(built / "entries.tsv", ec)) return built;
  return program / ".." / ".." / "share" / "vesk" / "sample";
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

// Makes `destination` ready for a fresh demo: removes an earlier demo, refuses a folder
// that holds anything else.
bool prepareDestination(const fs::path& destination, std::ostream& err) {
  std::error_code ec;
  if (fs::exists(destination / kDemoMarker, ec)) {
    fs::remove_all(destination, ec);
  } else if (fs::exists(destination, ec) && !fs::is_empty(destination, ec)) {
    err << "エラー　" << fromFsPath(destination)
        << " は空ではありません。別のフォルダを指定してください\n";
    return false;
  }
  fs::create_directories(destination, ec);
  if (ec) {
    err << "エラー　保存先フォルダを作成できませんでした: " << fromFsPath(destination) << '\n';
    return false;
  }
  std::ofstream(destination / kDemoMarker) << "Made by vesk-cli demo; the next demo replaces it.\n";
  return true;
}

}  // namespace

int runDemo(const std::string& destination, std::ostream& out, std::ostream& err) {
  EntryList list;
  if (!readManifest(sampleFolder(), list, err)) return 1;
  const fs::path target = fs::absolute(toFsPath(destination));
  if (!prepareDestination(target, err)) return 1;

  CommandSink sink(out, err);
  std::vector<std::string> topGroupNames;
  const BuildReport report = buildExhibition(
      list, [&](const std::string&) { return fromFsPath(target); }, {}, topGroupNames, sink);
  if (report.status != BuildStatus::Written) return 1;

  out << "Sample exhibition written to " << report.documentPath << '\n'
      << "  entries:    " << report.entryCount << '\n'
      << "  menu pages: " << report.menuPageCount << '\n'
      << "  files:      " << report.filesCopied << " copied (" << report.bytesCopied
      << " bytes), plus exhibition.nuv\n";
  return 0;
}

}  // namespace vesk::cli
