#include "package/package_check.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>
#include <utility>

#include "base/cp932.h"
#include "base/file_info.h"
#include "base/file_system.h"
#include "base/path_terms.h"
#include "format/scene_merge.h"
#include "format/scene_scan.h"
#include "format/two_digits.h"
#include "image/image_probe.h"
#include "messages/messages.h"
#include "messages/report_texts.h"
#include "package/create_summary.h"
#include "package/entry_plan.h"
#include "package/failure_reason.h"
#include "package/package_replace.h"
#include "package/windows_names.h"

namespace vesk {

namespace {

namespace fs = std::filesystem;

std::string withTrailingSeparator(std::string folder) {
  if (folder.empty() || !isPathSeparator(folder.back())) folder += kPathSeparator;
  return folder;
}

std::string withoutTrailingSeparator(std::string path) {
  while (!path.empty() && isPathSeparator(path.back())) path.pop_back();
  return path;
}

const char* roleName(CheckRole role) {
  switch (role) {
    case CheckRole::Scene:
      return kRoleScene;
    case CheckRole::Thumbnail:
      return kRoleThumbnail;
    case CheckRole::Description:
      return kRoleDescription;
    case CheckRole::DataFile:
      return kRoleDataFile;
    case CheckRole::DataFolder:
      return kRoleDataFolder;
    case CheckRole::None:
      break;
  }
  return "";
}

CheckRole checkRoleOf(PlannedRole role) {
  switch (role) {
    case PlannedRole::Scene:
      return CheckRole::Scene;
    case PlannedRole::Thumbnail:
      return CheckRole::Thumbnail;
    case PlannedRole::Description:
      return CheckRole::Description;
    case PlannedRole::DataFile:
      return CheckRole::DataFile;
    case PlannedRole::DataFolder:
      return CheckRole::DataFolder;
  }
  return CheckRole::None;
}

const char* windowsFaultText(WindowsNameFault fault) {
  switch (fault) {
    case WindowsNameFault::ReservedName:
      return kWindowsReservedName;
    case WindowsNameFault::TrailingDotOrBlank:
      return kWindowsTrailingDot;
    case WindowsNameFault::ForbiddenCharacter:
      return kWindowsForbiddenCharacter;
    case WindowsNameFault::PathTooLong:
      return kWindowsPathTooLong;
    case WindowsNameFault::None:
      break;
  }
  return "";
}

std::string unencodableDetail(const Failure& failure) {
  if (failure.code != FailureCode::UnencodableText)
    return "（" + std::string(kMalformedTextMessage) + "）";
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(failure.character));
  return std::string("（") + code + "「" + failure.context + "」）";
}

// A data folder's files as the create copies them: every entry but the folders (links
// followed), each looked at once.
struct FolderContents {
  bool listed = false;
  std::vector<std::pair<std::string, FileInfo>> files;  // full path and what it is
};

FolderContents listContents(const std::string& folder) {
  FolderContents contents;
  std::error_code ec;
  fs::directory_iterator it(toFsPath(folder), ec);
  if (ec) return contents;
  contents.listed = true;
  for (const fs::directory_iterator end; it != end; it.increment(ec)) {
    const std::string path = folder + fromFsPath(it->path().filename());
    FileInfo info = fileInfoOf(path);
    if (info.kind != FileKind::Directory) contents.files.emplace_back(path, info);
  }
  if (ec) contents.listed = false;
  return contents;
}

class Checker {
 public:
  explicit Checker(const CheckRequest& request)
      : request_(request), destination_(withTrailingSeparator(request.destination)) {}

  std::vector<CheckProblem> run() {
    checkDestination();
    checkButtons();
    BuildProgress none;
    BuildProgress& progress = request_.progress != nullptr ? *request_.progress : none;
    progress.started(0, request_.entries.size());
    for (std::size_t n = 0; n < request_.entries.size(); ++n) {
      if (progress.cancelRequested()) {
        add(CheckSeverity::Error, CheckFault::Cancelled, -1, CheckRole::None, request_.destination,
            kCheckCancelled);
        break;
      }
      progress.fileStarted(request_.entries[n].scenePath);
      checkEntry(static_cast<int>(n), request_.entries[n]);
      progress.advanced(0, n + 1);
    }
    if (request_.windowsNames) {
      const std::string document = "exhibition.nuv";
      const WindowsNameFault fault = windowsPathFault(request_.destination, document);
      if (fault != WindowsNameFault::None) {
        add(CheckSeverity::Warning, CheckFault::NameWindowsCannotHold, -1, CheckRole::None,
            document, kRoleDocument + (kCheckWindowsName + std::string(windowsFaultText(fault))));
      }
    }
    checkSpace();
    std::vector<CheckProblem> problems = std::move(general_);
    problems.insert(problems.end(), std::make_move_iterator(entries_.begin()),
                    std::make_move_iterator(entries_.end()));
    return problems;
  }

 private:
  void add(CheckSeverity severity, CheckFault fault, int entry, CheckRole role,
           const std::string& path, const std::string& text) {
    std::string line = severity == CheckSeverity::Error ? kCheckErrorPrefix : kCheckWarningPrefix;
    if (entry >= 0) line += twoDigits(entry) + " ";
    line += text + ": " + path;
    (entry >= 0 ? entries_ : general_)
        .push_back({severity, fault, entry, role, path, std::move(line)});
  }

  void error(CheckFault fault, int entry, CheckRole role, const std::string& path,
             const std::string& text) {
    add(CheckSeverity::Error, fault, entry, role, path, roleName(role) + text);
  }

  void warning(CheckFault fault, int entry, CheckRole role, const std::string& path,
               const std::string& text) {
    add(CheckSeverity::Warning, fault, entry, role, path, roleName(role) + text);
  }

  const FileInfo& infoOf(const std::string& path) {
    auto [at, added] = infos_.try_emplace(path);
    if (added) at->second = fileInfoOf(path);
    return at->second;
  }

  const FolderContents& contentsOf(const std::string& folder) {
    auto [at, added] = folders_.try_emplace(folder);
    if (added) at->second = listContents(folder);
    return at->second;
  }

  // Reports a source that the create could not copy as a file; true when it can.
  bool checkSourceFile(int entry, CheckRole role, const std::string& path) {
    const FileInfo& info = infoOf(path);
    switch (info.kind) {
      case FileKind::Missing:
        error(CheckFault::SourceMissing, entry, role, path, kCheckMissing);
        return false;
      case FileKind::Directory:
      case FileKind::Other:
        error(CheckFault::SourceNotRegular, entry, role, path, kCheckNotRegular);
        return false;
      case FileKind::Inaccessible:
        error(CheckFault::SourceUnreadable, entry, role, path,
              std::string(kCheckUnreadable) + "（" + systemErrorText(info.error) + "）");
        return false;
      case FileKind::Regular:
        break;
    }
    if (!info.readable) {
      error(CheckFault::SourceUnreadable, entry, role, path, kCheckUnreadable);
      return false;
    }
    bytes_ += info.size;
    return true;
  }

  void checkDestination() {
    // A replace takes over an earlier package; entry folders without one would be in
    // the way of the new ones all the same.
    const bool package = holdsPackage(request_.destination);
    bool earlier = package;
    for (std::size_t n = 0; !earlier && n < request_.entries.size(); ++n) {
      earlier = pathExists(destination_ + twoDigits(static_cast<int>(n)));
    }
    if (earlier && !(request_.replacing && package)) {
      add(CheckSeverity::Error, CheckFault::EarlierPackage, -1, CheckRole::None,
          request_.destination, kCheckEarlierPackage);
    }
    // The report's name is a package member: a replace removes it with the package,
    // and a create with a report writes it. A file of that name that belongs to no
    // package being replaced is someone else's, never to be overwritten or removed.
    const std::string report = destination_ + kReportFileName;
    if (!(request_.replacing && package) && pathExists(report)) {
      add(CheckSeverity::Error, CheckFault::EarlierPackage, -1, CheckRole::None, report,
          kCheckReportInTheWay);
    }
  }

  void checkButtons() {
    const std::string folder = withTrailingSeparator(
        request_.programFolder.empty() ? programFolder() : request_.programFolder);
    for (const char* name : {"up.jpg", "down.jpg"}) {
      const std::string path = folder + name;
      const FileInfo& info = infoOf(path);
      if (info.kind == FileKind::Regular && info.readable) {
        bytes_ += info.size;
        continue;
      }
      const bool missing = info.kind == FileKind::Missing;
      add(CheckSeverity::Error, missing ? CheckFault::SourceMissing : CheckFault::SourceUnreadable,
          -1, CheckRole::None, path,
          std::string(kRoleButton) + (missing ? kCheckMissing : kCheckUnreadable));
    }
  }

  void checkSpace() {
    const std::optional<std::uint64_t> free = request_.freeSpace
                                                  ? request_.freeSpace(request_.destination)
                                                  : systemFreeSpace(request_.destination);
    if (!free || *free >= bytes_) return;
    add(CheckSeverity::Error, CheckFault::NotEnoughSpace, -1, CheckRole::None, request_.destination,
        std::string(kCheckNotEnoughSpace) + kCheckSpaceNeeded + byteSizeText(bytes_) +
            kCheckSpaceFree + byteSizeText(*free) + "）");
  }

  // The scene's lines when it can be read; its problems reported.
  std::optional<std::vector<std::string>> readScene(int entry, const std::string& scene) {
    if (!checkSourceFile(entry, CheckRole::Scene, scene)) return std::nullopt;
    Result<std::vector<std::string>> lines =
        request_.readScene ? request_.readScene(scene) : readTextLines(scene);
    if (!lines) {
      error(
          CheckFault::SourceUnreadable, entry, CheckRole::Scene, scene,
          std::string(kCheckUnreadable) + "（" + copyFailureReason(scene, lines.failure()) + "）");
      return std::nullopt;
    }
    return std::move(*lines);
  }

  // What the document takes from the scene: its merged elements, in code page 932,
  // and a "Sur" group for the menu to jump to.
  void checkSceneText(int entry, const std::string& scene, const std::vector<std::string>& lines) {
    std::string merged;
    std::vector<std::string> topGroups;
    mergeSceneLines(merged, entry, lines, topGroups);
    if (const Result<std::string> encoded = encodeCp932(merged); !encoded) {
      error(CheckFault::UnencodableCharacter, entry, CheckRole::Scene, scene,
            kCheckUnencodable + unencodableDetail(encoded.failure()));
    }
    if (sceneHasTooManyElements(lines)) {
      error(CheckFault::TooManyElements, entry, CheckRole::Scene, scene, kCheckTooManyElements);
    }
    if (topGroups.empty()) {
      warning(CheckFault::NoTopGroup, entry, CheckRole::Scene, scene, kCheckNoTopGroup);
    }
  }

  void checkPicture(int entry, CheckRole role, const std::string& path) {
    if (const Result<std::string> encoded = encodeCp932(fileNameOf(path)); !encoded) {
      error(CheckFault::UnencodableCharacter, entry, role, path,
            kCheckUnencodable + unencodableDetail(encoded.failure()));
    }
    if (!checkSourceFile(entry, role, path)) return;
    const Result<PictureSize> size =
        hasImageExtension(path) ? probeImageSize(path) : Result<PictureSize>(Failure{});
    if (!size) {
      warning(CheckFault::PictureSizeUnknown, entry, role, path, kCheckPictureSizeUnknown);
      return;
    }
    const std::string pixels =
        "（" + std::to_string(size->width) + "×" + std::to_string(size->height) + "）";
    if (role == CheckRole::Thumbnail && size->height > size->width) {
      warning(CheckFault::ThumbnailNotLandscape, entry, role, path,
              kCheckThumbnailPortrait + pixels);
    }
    if (role == CheckRole::Description && size->width > size->height) {
      warning(CheckFault::DescriptionNotPortrait, entry, role, path,
              kCheckDescriptionLandscape + pixels);
    }
  }

  bool isDataFolder(const std::string& item) { return copiedAsFolder(item, infoOf(item).kind); }

  // Reports what keeps the folder from being copied whole; its files' names (below
  // the folder) go to `names`.
  void checkDataFolder(int entry, const std::string& folder, std::vector<std::string>& names) {
    const std::string path = withoutTrailingSeparator(folder);
    const FileInfo& info = infoOf(path);
    switch (info.kind) {
      case FileKind::Missing:
        error(CheckFault::SourceMissing, entry, CheckRole::DataFolder, path, kCheckMissing);
        return;
      case FileKind::Regular:
      case FileKind::Other:
        error(CheckFault::SourceNotRegular, entry, CheckRole::DataFolder, path, kCheckNotFolder);
        return;
      case FileKind::Inaccessible:
        error(CheckFault::SourceUnreadable, entry, CheckRole::DataFolder, path,
              std::string(kCheckUnreadable) + "（" + systemErrorText(info.error) + "）");
        return;
      case FileKind::Directory:
        break;
    }
    const FolderContents& contents = contentsOf(folder);
    if (!contents.listed) {
      error(CheckFault::SourceUnreadable, entry, CheckRole::DataFolder, path, kCheckUnreadable);
      return;
    }
    for (const auto& [file, fileInfo] : contents.files) {
      names.push_back(fileNameOf(file));
      if (fileInfo.kind == FileKind::Other) {
        error(CheckFault::SourceNotRegular, entry, CheckRole::DataFolder, file,
              kCheckFolderFileNotRegular);
      } else if (fileInfo.kind != FileKind::Regular || !fileInfo.readable) {
        error(CheckFault::SourceUnreadable, entry, CheckRole::DataFolder, file,
              kCheckFolderFileUnreadable);
      } else {
        bytes_ += fileInfo.size;
      }
    }
  }

  void checkWindowsName(int entry, CheckRole role, const std::string& relative) {
    const WindowsNameFault fault = windowsPathFault(request_.destination, relative);
    if (fault == WindowsNameFault::None) return;
    warning(CheckFault::NameWindowsCannotHold, entry, role, relative,
            kCheckWindowsName + std::string(windowsFaultText(fault)));
  }

  void checkEntry(int n, ExhibitionEntry entry) {
    const std::string nn = twoDigits(n);
    const auto [first, added] = scenes_.try_emplace(entry.scenePath, n);
    if (!added) {
      warning(CheckFault::DuplicateScene, n, CheckRole::Scene, entry.scenePath,
              kCheckDuplicateScene + twoDigits(first->second));
    }
    entry.dataFiles.clear();
    if (const auto lines = readScene(n, entry.scenePath)) {
      checkSceneText(n, entry.scenePath, *lines);
      // The data files only a readable scene names.
      entry.dataFiles = sceneDataFiles(*lines, folderOf(entry.scenePath));
    }
    checkPicture(n, CheckRole::Thumbnail, entry.thumbnailPath);
    checkPicture(n, CheckRole::Description, entry.descriptionPath);

    std::vector<bool> folders;
    for (const auto& item : entry.dataFiles) folders.push_back(isDataFolder(item));
    const std::vector<PlannedFile> plan = planEntryFiles(entry, folders);
    for (const auto& file : plan) {
      const CheckRole role = checkRoleOf(file.role);
      const std::string relative = nn + kPathSeparator + file.place;
      std::vector<std::string> names;
      if (file.role == PlannedRole::DataFile) checkSourceFile(n, role, file.source);
      if (file.role == PlannedRole::DataFolder) checkDataFolder(n, file.source, names);
      if (!request_.windowsNames) continue;
      checkWindowsName(n, role, withoutTrailingSeparator(relative));
      for (const auto& name : names) checkWindowsName(n, role, relative + name);
    }

    const std::vector<std::vector<PlannedFile>> plans{plan};
    for (const auto& collision : findCollisions(plans)) {
      const auto second = std::find_if(plan.begin(), plan.end(), [&](const PlannedFile& file) {
        return file.source == collision.second;
      });
      error(CheckFault::Collision, n, checkRoleOf(second->role), collision.second,
            kCheckCollision + (kCheckCollisionPlace + nn + kPathSeparator + collision.place +
                               kCheckCollisionOther + collision.first + "）"));
    }
    for (const auto& name : findUnwritableNames(plans)) {
      const CheckRole role =
          name == entry.thumbnailPath ? CheckRole::Thumbnail : CheckRole::Description;
      error(CheckFault::UnwritableName, n, role, name, kCheckUnwritableName);
    }
  }

  const CheckRequest& request_;
  const std::string destination_;
  std::vector<CheckProblem> general_;
  std::vector<CheckProblem> entries_;
  std::map<std::string, FileInfo> infos_;
  std::map<std::string, FolderContents> folders_;
  std::map<std::string, int> scenes_;
  std::uint64_t bytes_ = 0;
};

}  // namespace

std::vector<CheckProblem> checkPackage(const CheckRequest& request) {
  return Checker(request).run();
}

bool hasCheckErrors(const std::vector<CheckProblem>& problems) {
  return std::any_of(problems.begin(), problems.end(), [](const CheckProblem& problem) {
    return problem.severity == CheckSeverity::Error;
  });
}

std::size_t checkWarningCount(const std::vector<CheckProblem>& problems) {
  return static_cast<std::size_t>(std::count_if(
      problems.begin(), problems.end(),
      [](const CheckProblem& problem) { return problem.severity == CheckSeverity::Warning; }));
}

std::string checkReportText(const std::vector<CheckProblem>& problems) {
  if (problems.empty()) return {};
  std::string text = hasCheckErrors(problems) ? kCheckErrorsHeading : kCheckWarningsHeading;
  for (const auto& problem : problems) text += "\n" + problem.text;
  return text;
}

std::optional<std::uint64_t> systemFreeSpace(const std::string& folder) {
  std::error_code ec;
  fs::path path = toFsPath(folder);
  if (path.empty()) path = fs::current_path(ec);
  path = fs::absolute(path, ec);
  while (!ec && !fs::exists(path, ec)) {
    if (!path.has_relative_path()) return std::nullopt;
    path = path.parent_path();
  }
  if (ec) return std::nullopt;
  const fs::space_info space = fs::space(path, ec);
  if (ec || space.available == static_cast<std::uintmax_t>(-1)) return std::nullopt;
  return static_cast<std::uint64_t>(space.available);
}

}  // namespace vesk
