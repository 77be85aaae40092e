#include "package/package_plan.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

#include "base/cp932.h"
#include "base/file_info.h"
#include "base/file_stamp.h"
#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "base/work_ahead.h"
#include "format/document_outline.h"
#include "format/exhibition_document.h"
#include "format/menu_pages.h"
#include "format/merged_scene_summary.h"
#include "format/scene_scan.h"
#include "format/text_ops.h"
#include "format/two_digits.h"
#include "image/image_probe.h"
#include "messages/message_template.h"
#include "messages/messages.h"
#include "messages/report_texts.h"
#include "package/create_summary.h"
#include "package/destination_work.h"
#include "package/entry_look.h"
#include "package/failure_reason.h"
#include "package/failure_text.h"
#include "package/file_role.h"
#include "package/package_layout.h"
#include "package/package_members.h"
#include "package/package_replace.h"
#include "package/package_verify.h"
#include "package/scene_files.h"
#include "package/scene_reading.h"
#include "package/windows_names.h"
#include "package/working_folder.h"

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

// One spelling for every path that names the same member: separators collapsed,
// "." components and trailing separators dropped, and on Windows, whose file systems
// ignore letter case, letters lowered.
std::string memberKey(std::string_view path) {
  std::string key;
  for (const auto& component : pathComponents(path)) {
    if (!key.empty()) key += '/';
    key += component;
  }
#ifdef _WIN32
  key = foldNameCase(key);
#endif
  if (!path.empty() && isPathSeparator(path.front())) key.insert(key.begin(), '/');
  return key;
}

// The length of a name or path in the unit the file system counts.
std::size_t systemLength(std::string_view text) {
#ifdef _WIN32
  return utf16Length(text);
#else
  return text.size();
#endif
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
    case PlannedRole::Folder:
    case PlannedRole::Button:
      break;
  }
  return CheckRole::None;
}

const char* windowsNameText(WindowsNameFault fault) {
  switch (fault) {
    case WindowsNameFault::ReservedName:
      return kCheckWindowsReservedName;
    case WindowsNameFault::TrailingDotOrBlank:
      return kCheckWindowsTrailingDot;
    case WindowsNameFault::ForbiddenCharacter:
      return kCheckWindowsForbiddenCharacter;
    case WindowsNameFault::PathTooLong:
      return kCheckWindowsPathTooLong;
    case WindowsNameFault::None:
      break;
  }
  return "";
}

// The role word of a problem with no role of its own: what the target at the top of
// the package or an entry folder is.
const char* memberRoleName(const std::string& target) {
  if (target == kDocumentName) return kRoleDocument;
  if (target == kUpButtonName || target == kDownButtonName) return kRoleButton;
  return kRoleEntryFolder;
}

// True when `path` lies in a Vesk working folder that the next run into the folder
// above it removes: one a run made (its marker, a lock, an unfinished leftover), not
// just any folder of that name.
bool inWorkingFolder(const std::string& path) {
  const std::string_view name = kWorkingFolderName;
  std::size_t begin = 0;
  while (begin < path.size()) {
    std::size_t end = begin;
    while (end < path.size() && !isPathSeparator(path[end])) ++end;
    std::string component = path.substr(begin, end - begin);
#ifdef _WIN32
    component = lowerAscii(component);  // one folder in any letter case
#endif
    if (component == name) {
      const WorkingFolderState state = inspectWorkingFolder(path.substr(0, begin));
      if (state == WorkingFolderState::Busy || state == WorkingFolderState::Stale) return true;
    }
    begin = end + 1;
  }
  return false;
}

class Planner {
 public:
  Planner(const CheckRequest& request, PlanObserver* observer)
      : request_(request), observer_(observer) {
    plan_.destination = withTrailingSeparator(request.destination);
    // Entries are looked at on two threads: the caller's reader and probe are called
    // one at a time.
    if (request_.readScene) {
      reader_ = [this](const std::string& path) {
        const std::lock_guard<std::mutex> lock(readerMutex_);
        return request_.readScene(path);
      };
    }
    // Each picture is probed once, however many entries show it.
    probe_ = [this](const std::string& path) {
      const std::lock_guard<std::mutex> lock(probeMutex_);
      auto [at, added] = probes_.try_emplace(path, Failure{});
      if (added) {
        at->second = request_.probePicture ? request_.probePicture(path) : probeImageSize(path);
      }
      return at->second;
    };
  }

  PackagePlan run() {
    volume_ = request_.volume ? request_.volume(request_.destination)
                              : volumeInfoOf(request_.destination);
    checkDestination();
    std::vector<PlannedItem> buttons = planButtons();
    const std::size_t count = request_.entries.size();
    {
      // Each entry is looked at (its scene read and merged, its files looked at) ahead
      // of its turn, the next one on a thread of its own while this thread plans the
      // current one (or looks at the one after it while it waits): two scenes' text at
      // most at a time. A look on this thread stops at the operator's Cancel, one on
      // the other once this thread has seen it (it asks while it waits). Stopped, and
      // waited for, when the loop ends.
      const std::thread::id planning = std::this_thread::get_id();
      const std::function<bool()> cancelled = [this, planning] {
        return std::this_thread::get_id() == planning ? stopping() : cancelSeen_.load();
      };
      EntryLookTools tools{reader_, probe_,
                           [this](const std::string& path) {
                             const std::lock_guard<std::mutex> lock(lookedMutex_);
                             return looked_.insert(path).second;
                           },
                           request_.textRooms};
      // Which scenes are a package's own copies, decided before either thread looks.
      packageFolders_.clear();
      for (const ExhibitionEntry& entry : request_.entries) {
        packageFolders_.push_back(packageEntryFolderOf(entry.scenePath));
      }
      WorkAhead<EntryLook> looks(
          count, 1, [this, &tools, &cancelled](std::size_t n, const std::atomic<bool>& stop) {
            return lookAtEntry(static_cast<int>(n), request_.entries[n], packageFolders_[n], tools,
                               stop, cancelled);
          });
      for (std::size_t n = 0; n < count; ++n) {
        if (observer_ != nullptr) {
          observer_->advanced(static_cast<double>(n) / static_cast<double>(count));
        }
        if (stopping()) break;
        // Waiting for the other thread's look, the plan still answers a Cancel, which
        // then ends that look too; a look cut short is not planned.
        EntryLook look = looks.takeNext([this] { return stopping(); });
        if (plan_.cancelled) break;
        planEntry(static_cast<int>(n), request_.entries[n], std::move(look));
      }
    }
    addObstacles();
    checkSourcesInWorkingFolders();
    checkButtonsOverSources();
    for (auto& button : buttons) addCopy(std::move(button), CheckRole::None);
    if (request_.windowsNames) {
      const WindowsNameFault fault = windowsPathFault(request_.destination, kDocumentName);
      if (fault != WindowsNameFault::None) {
        warning(CheckFault::NameWindowsCannotHold, -1, CheckRole::None, kDocumentName,
                windowsNameText(fault), {}, kRoleDocument);
      }
    }
    checkLength(-1, CheckRole::None, kDocumentName);
    if (!plan_.cancelled && !hasErrors()) planDocument();
    checkSpace();
    if (observer_ != nullptr && !plan_.cancelled) observer_->advanced(1.0);

    plan_.problems = std::move(general_);
    plan_.problems.insert(plan_.problems.end(), std::make_move_iterator(entries_.begin()),
                          std::make_move_iterator(entries_.end()));
    if (hasCheckErrors(plan_.problems)) {
      plan_.documentEntries.clear();
      plan_.topGroupNames.clear();
    }
    return std::move(plan_);
  }

 private:
  // True once the observer has asked to stop; the first time, the plan is marked
  // incomplete with a Cancelled error, so that it can never let a create go on. Asked
  // between two entries and between two files of a data folder.
  bool stopping() {
    if (plan_.cancelled) return true;
    if (observer_ == nullptr || !observer_->cancelRequested()) return false;
    plan_.cancelled = true;
    cancelSeen_ = true;
    add(CheckSeverity::Error, CheckFault::Cancelled, -1, CheckRole::None, request_.destination,
        kCheckCancelled);
    return true;
  }

  void add(CheckSeverity severity, CheckFault fault, int entry, CheckRole role,
           const std::string& path, const std::string& text) {
    std::string line = severity == CheckSeverity::Error ? kCheckErrorPrefix : kCheckWarningPrefix;
    line += entry >= 0
                ? fillTemplate(kCheckEntryLine,
                               {{"entry", twoDigits(entry)}, {"problem", text}, {"path", path}})
                : fillTemplate(kCheckLine, {{"problem", text}, {"path", path}});
    (entry >= 0 ? entries_ : general_)
        .push_back({severity, fault, entry, role, path, std::move(line)});
  }

  // A problem of `role`: `text` is its template, {role} the role's word (`roleWord`
  // when given) and the other placeholders from `values`.
  void error(CheckFault fault, int entry, CheckRole role, const std::string& path, const char* text,
             TemplateValues values = {}, const char* roleWord = nullptr) {
    add(CheckSeverity::Error, fault, entry, role, path,
        problemText(text, roleWord != nullptr ? roleWord : roleName(role), std::move(values)));
  }

  void warning(CheckFault fault, int entry, CheckRole role, const std::string& path,
               const char* text, TemplateValues values = {}, const char* roleWord = nullptr) {
    add(CheckSeverity::Warning, fault, entry, role, path,
        problemText(text, roleWord != nullptr ? roleWord : roleName(role), std::move(values)));
  }

  static std::string problemText(const char* text, const char* role, TemplateValues values) {
    values.emplace_back("role", role);
    return fillTemplate(text, values);
  }

  // A source's problem with the system's (or the copy's) reason.
  void unreadable(int entry, CheckRole role, const std::string& path, const std::string& reason) {
    error(CheckFault::SourceUnreadable, entry, role, path, kCheckUnreadableBecause,
          {{"reason", reason}});
  }

  // Text code page 932 cannot hold, or text that is not UTF-8.
  void unencodable(int entry, CheckRole role, const std::string& path, const Failure& failure,
                   const char* roleWord = nullptr) {
    if (failure.code != FailureCode::UnencodableText) {
      error(CheckFault::UnencodableCharacter, entry, role, path, kCheckMalformedText, {}, roleWord);
      return;
    }
    error(CheckFault::UnencodableCharacter, entry, role, path, kCheckUnencodable,
          {{"character", codePointText(failure.character)}, {"context", failure.context}},
          roleWord);
  }

  bool hasErrors() const { return hasCheckErrors(general_) || hasCheckErrors(entries_); }

  // Waits for the look for what is in the way of a replace, and puts its problems where
  // the destination's are.
  void addObstacles() {
    if (!obstacles_.valid()) return;
    const std::size_t end = general_.size();
    for (const auto& found : obstacles_.get()) {
      add(found.severity, found.fault, -1, CheckRole::None, found.path, found.text);
    }
    std::rotate(general_.begin() + static_cast<std::ptrdiff_t>(obstaclesAt_),
                general_.begin() + static_cast<std::ptrdiff_t>(end), general_.end());
  }

  const FileInfo& infoOf(const std::string& path) {
    auto [at, added] = infos_.try_emplace(path);
    if (added) at->second = fileInfoOf(path);
    return at->second;
  }

  const FolderContents& contentsOf(const std::string& folder) {
    auto [at, added] = contents_.try_emplace(folder);
    if (added) at->second = listContents(folder, [this] { return stopping(); });
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
        unreadable(entry, role, path, systemReason(info.error));
        return false;
      case FileKind::Regular:
        break;
    }
    if (!info.readable) {
      error(CheckFault::SourceUnreadable, entry, role, path, kCheckUnreadable);
      return false;
    }
    return true;
  }

  void checkDestination() {
    // A killed create or replace is finished or undone before the build: the check
    // looks at what that leaves.
    const DestinationWork work = inspectDestinationWork(request_.destination, request_.replacing);
    for (const auto& found : work.problems) {
      add(found.severity, found.fault, -1, CheckRole::None, found.path, found.text);
    }
    if (work.lookForObstacles) {
      // What is in the way of the replace is looked for while the scenes are read (it
      // reads the earlier document, which may run to hundreds of MiB); its problems take
      // their place here once it is done. The reading stays with the plan for the
      // replace's own looks.
      plan_.earlierDocument = std::make_shared<DocumentNames>();
      obstaclesAt_ = general_.size();
      auto look = [destination = request_.destination, count = request_.entries.size(),
                   report = request_.withReport, lyingNow = work.lyingNow,
                   names = plan_.earlierDocument] {
        return replaceObstacleProblems(destination, count, report, lyingNow, names.get());
      };
      try {
        obstacles_ = std::async(std::launch::async, look);
      } catch (const std::system_error&) {
        // No thread to be had: looked for now.
        std::promise<std::vector<DestinationWorkProblem>> now;
        now.set_value(look());
        obstacles_ = now.get_future();
      }
    }
    // A replace takes over an earlier package; entry folders without one would be in
    // the way of the new ones all the same.
    const bool package = work.packageAfterRecovery;
    bool earlier = package;
    for (std::size_t n = 0; !earlier && !work.interrupted && n < request_.entries.size(); ++n) {
      earlier = pathExists(plan_.destination + twoDigits(static_cast<int>(n)));
    }
    if (earlier && !(request_.replacing && package)) {
      add(CheckSeverity::Error, CheckFault::EarlierPackage, -1, CheckRole::None,
          request_.destination, kCheckEarlierPackage);
    }
    // Behind an interrupted run, an entry folder's name its journal does not speak of
    // holds after the recovery what it holds now: something there is in the way (the
    // look for obstacles of a replace finds it too).
    for (std::size_t n = 0;
         work.interrupted && !work.lookForObstacles && n < request_.entries.size(); ++n) {
      const std::string name = twoDigits(static_cast<int>(n));
      if (std::find(work.journaled.begin(), work.journaled.end(), name) != work.journaled.end() ||
          !entryTypeOf(plan_.destination + name)) {
        continue;
      }
      add(CheckSeverity::Error, CheckFault::EarlierPackage, -1, CheckRole::None,
          plan_.destination + name, kCheckMemberInTheWay);
    }
    if (!work.interrupted) warnStrayEntryFolders(request_.replacing && package);
    // The report's name is a package member: a replace removes it with the package,
    // and a create with a report writes it. A file of that name that belongs to no
    // package being replaced is someone else's, never to be overwritten or removed.
    const auto staysAfterRecovery = [&](const char* name) {
      return std::find(work.leavingOnUndo.begin(), work.leavingOnUndo.end(), name) ==
             work.leavingOnUndo.end();
    };
    const std::string report = plan_.destination + kReportFileName;
    if (!(request_.replacing && package) && pathExists(report) &&
        staysAfterRecovery(kReportFileName)) {
      add(CheckSeverity::Error, CheckFault::EarlierPackage, -1, CheckRole::None, report,
          kCheckReportInTheWay);
    }
    // So are the manifest's and the copy record's (beside a package, the earlier
    // package's own error says enough).
    for (const char* name : {kManifestName, kCopyRecordName}) {
      const std::string member = plan_.destination + name;
      if (!package && pathExists(member) && staysAfterRecovery(name)) {
        add(CheckSeverity::Error, CheckFault::EarlierPackage, -1, CheckRole::None, member,
            name == std::string_view(kManifestName) ? kCheckManifestInTheWay
                                                    : kCheckRecordInTheWay);
      }
    }
    if (volume_.unwritable != 0) {
      add(CheckSeverity::Error, CheckFault::DestinationUnusable, -1, CheckRole::None,
          request_.destination,
          fillTemplate(kCheckDestinationUnusable,
                       {{"reason", (volume_.existing.empty() ? "" : volume_.existing + ": ") +
                                       systemReason(volume_.unwritable)}}));
      return;
    }
    // The members at the top are written over; a folder of such a name is in the way.
    for (const char* name : {kDocumentName, kUpButtonName, kDownButtonName}) {
      const Result<FileKind> kind = fileKindOf(plan_.destination + name);
      if (kind && (*kind == FileKind::Missing || *kind == FileKind::Regular)) continue;
      const std::string reason =
          kind ? kReasonNotRegularFile : systemReason(kind.failure().systemError);
      add(CheckSeverity::Error, CheckFault::DestinationUnusable, -1, CheckRole::None,
          plan_.destination + name, fillTemplate(kCheckDestinationUnusable, {{"reason", reason}}));
    }
    // The folders still to be made on the way to the destination.
    std::error_code ec;
    const std::string absolute =
        fromFsPath(fs::absolute(toFsPath(request_.destination), ec).lexically_normal());
    absoluteDestination_ = withTrailingSeparator(ec ? request_.destination : absolute);
    // A package inside an entry folder of another would be that package's unlisted
    // files: its verify would fail from then on. Looked at as the path is written and
    // as it leads, through any link on the way.
    if (!ec) {
      const auto enclosingEntryFolder = [](fs::path inside) -> std::optional<std::string> {
        for (fs::path folder = inside.parent_path(); folder.has_relative_path() && folder != inside;
             inside = folder, folder = folder.parent_path()) {
          if (isEntryFolderName(fromFsPath(inside.filename())) &&
              isPackageDocument(joinPath(fromFsPath(folder), kDocumentName))) {
            return fromFsPath(inside);
          }
        }
        return std::nullopt;
      };
      std::optional<std::string> enclosing = enclosingEntryFolder(toFsPath(absolute));
      std::error_code unresolved;
      const fs::path real = fs::weakly_canonical(toFsPath(absolute), unresolved);
      if (!enclosing && !unresolved) enclosing = enclosingEntryFolder(real);
      if (enclosing) {
        error(CheckFault::DestinationUnusable, -1, CheckRole::None, request_.destination,
              kCheckDestinationInPackage, {{"folder", *enclosing}});
      }
      // A working folder is removed whole by the next run into its destination; the
      // run's own is judged by the folders above it.
      if (inWorkingFolder(packageFolderOf(absolute)) ||
          (!unresolved && inWorkingFolder(packageFolderOf(fromFsPath(real))))) {
        error(CheckFault::DestinationUnusable, -1, CheckRole::None, request_.destination,
              kCheckDestinationInWorkingFolder, {{"folder", kStagingFolderName}});
      }
    }
    if (!volume_.existing.empty() && absolute.size() > volume_.existing.size()) {
      for (const auto& name : pathComponents(absolute.substr(volume_.existing.size()))) {
        if (systemLength(name) > volume_.nameMax) {
          error(CheckFault::NameTooLong, -1, CheckRole::None, request_.destination,
                kCheckNameTooLong, {}, kRoleDestination);
          break;
        }
      }
    }
    // Every create builds in the working folder before moving the package into place.
    absoluteDestination_ += std::string(kStagingFolderName) + kPathSeparator;
  }

  // Where an interrupted run's undo puts each path, for a check made before it; none.
  const UndoPlaces& undoPlaces() const {
    static const UndoPlaces none;
    return request_.undoPlaces != nullptr ? *request_.undoPlaces : none;
  }

  // The folder the package goes into, for `destination`: a replace's own plan is made
  // for its working folder, and the package goes above it.
  std::string packageFolderOf(const std::string& destination) const {
    return request_.ownWorkingFolder ? folderOf(withoutTrailingSeparator(destination))
                                     : destination;
  }

  // What lies in a Vesk working folder is removed by the next run into its destination
  // (the one that runs on this plan may be it): never copied from, one error an entry.
  // A check made before the undo of an interrupted run judges each file where the undo
  // puts it.
  void checkSourcesInWorkingFolders() {
    const UndoPlaces& places = undoPlaces();
    int named = -2;
    for (const PlannedItem& item : plan_.items) {
      if (item.step != PlannedItem::Step::CopyFile || item.entryNumber == named ||
          !inWorkingFolder(places.afterUndo(item.source))) {
        continue;
      }
      error(CheckFault::DestinationUnusable, item.entryNumber, CheckRole::None, item.source,
            kCheckSourceInWorkingFolder, {{"folder", kStagingFolderName}});
      named = item.entryNumber;
    }
  }

  // A button image is written over whatever file of its name the destination holds:
  // never over a file the run copies from, which would be lost (and the next run would
  // take the button for it).
  void checkButtonsOverSources() {
    const UndoPlaces& places = undoPlaces();
    const std::string destination = packageFolderOf(request_.destination);
    for (const char* name : {kUpButtonName, kDownButtonName}) {
      // The name's file is replaced, so a source is lost when its path leads there
      // (through links; on Windows in any letter case or short name); another name of
      // the same file keeps it. Only sources that may be it are followed: the same file
      // where the system tells files apart, else those of the button's name.
      const std::string button = joinPath(destination, name);
      const std::optional<FileStamp> there = fileStampOf(places.now(button), Links::Follow);
      if (!there) continue;
      std::error_code ec;
      const fs::path real = fs::weakly_canonical(toFsPath(button), ec);
      if (ec) continue;
      for (const PlannedItem& item : plan_.items) {
        if (item.step != PlannedItem::Step::CopyFile) continue;
        const std::string source = places.afterUndo(item.source);
        const bool maybe = item.file != 0 ? item.device == there->device && item.file == there->file
                                          : lowerAscii(fileNameOf(source)) == name;
        if (!maybe) continue;
        std::error_code sourceError;
        if (fs::weakly_canonical(toFsPath(source), sourceError) != real || sourceError) continue;
        error(CheckFault::DestinationUnusable, item.entryNumber, CheckRole::None, item.source,
              kCheckButtonOverSource, {{"name", name}});
        break;
      }
    }
  }

  // A two-digit folder (or link) in the destination that the new package does not
  // take, nor an earlier package being replaced own, stays where it is. The package's
  // verify cannot tell it from an entry folder added to the package afterwards, and
  // reports it: the operator is told now.
  void warnStrayEntryFolders(bool replacingPackage) {
    const Result<std::vector<FolderEntry>> top = listFolder(request_.destination);
    if (!top) return;
    std::vector<std::string> beyond;
    for (const FolderEntry& item : *top) {
      if (item.type != EntryType::File && isEntryFolderName(item.name) &&
          static_cast<std::size_t>(std::stoi(item.name)) >= request_.entries.size()) {
        beyond.push_back(item.name);
      }
    }
    if (beyond.empty()) return;
    // Only then is the earlier document read for its members (it may be large).
    const std::vector<std::string> members =
        replacingPackage ? packageMembers(request_.destination, plan_.earlierDocument.get())
                         : std::vector<std::string>();
    std::sort(beyond.begin(), beyond.end());
    for (const std::string& name : beyond) {
      if (std::binary_search(members.begin(), members.end(), name)) continue;
      warning(CheckFault::StrayEntryFolder, -1, CheckRole::None, plan_.destination + name,
              kCheckStrayEntryFolder);
    }
  }

  std::vector<PlannedItem> planButtons() {
    std::vector<PlannedItem> buttons;
    const std::string folder = withTrailingSeparator(
        request_.programFolder.empty() ? programFolder() : request_.programFolder);
    for (const char* name : {kUpButtonName, kDownButtonName}) {
      const std::string path = folder + name;
      const FileInfo& info = infoOf(path);
      if (info.kind == FileKind::Regular && info.readable) {
        buttons.push_back({PlannedItem::Step::CopyFile, -1, PlannedRole::Button, path, name,
                           info.size, info.modified, info.device, info.file, info.changed});
        continue;
      }
      const bool missing = info.kind == FileKind::Missing;
      error(missing ? CheckFault::SourceMissing : CheckFault::SourceUnreadable, -1, CheckRole::None,
            path, missing ? kCheckMissing : kCheckUnreadable, {}, kRoleButton);
    }
    return buttons;
  }

  // Reports a target longer than the destination's file system takes.
  void checkLength(int entry, CheckRole role, const std::string& target) {
    const char* roleWord = role == CheckRole::None ? memberRoleName(target) : nullptr;
    for (const auto& name : pathComponents(target)) {
      if (systemLength(name) > volume_.nameMax) {
        error(CheckFault::NameTooLong, entry, role, target, kCheckNameTooLong, {}, roleWord);
        return;
      }
    }
    if (systemLength(absoluteDestination_ + target) + 1 > volume_.pathMax) {
      error(CheckFault::PathTooLong, entry, role, target, kCheckPathTooLong, {}, roleWord);
    }
  }

  void collision(int entry, CheckRole role, const std::string& source, const std::string& target,
                 const std::string& other) {
    error(CheckFault::Collision, entry, role, source, kCheckCollision,
          {{"place", withoutTrailingSeparator(target)}, {"other", other}},
          role == CheckRole::None ? memberRoleName(target) : nullptr);
  }

  // Plans making the folder `target` (and the folders leading to it) for `source` (a
  // data folder, or empty for a folder only on the way); false when a file or another
  // data folder has that place.
  bool addFolder(int entry, CheckRole role, const std::string& target, const std::string& source) {
    const std::vector<std::string> components = pathComponents(target);
    std::string path;
    for (std::size_t i = 0; i < components.size(); ++i) {
      path += (path.empty() ? "" : std::string(1, kPathSeparator)) + components[i];
      const std::string key = targetKey(path);
      const bool last = i + 1 == components.size();
      const std::string owner = last && !source.empty() ? source : std::string();
      if (const auto file = files_.find(key); file != files_.end()) {
        collision(entry, role, source.empty() ? path : source, path, file->second);
        return false;
      }
      if (const auto folder = folders_.find(key); folder != folders_.end()) {
        // A folder made on the way may also be named as a data folder; two data
        // folders on one place must be one.
        if (folder->second.empty() || owner.empty()) {
          if (!owner.empty()) folder->second = owner;
        } else if (memberKey(folder->second) != memberKey(owner) &&
                   !sameSource(folder->second, owner)) {
          collision(entry, role, owner, path, folder->second);
          return false;
        }
        continue;
      }
      folders_.emplace(key, owner);
      checkCaseTwin(entry, role, path, key);
      checkLength(entry, role, path);
      plan_.items.push_back({PlannedItem::Step::MakeFolder, entry,
                             owner.empty() ? PlannedRole::Folder : PlannedRole::DataFolder, owner,
                             path, 0, 0});
    }
    return true;
  }

  // True when two sources name one file or folder, as a data value may reach what
  // another names through "..": the same file number on the same device or volume.
  static bool sameSource(const std::string& a, const std::string& b) {
    const std::optional<FileIdentity> first = identityOf(withoutTrailingSeparator(a));
    return first && (first->device != 0 || first->file != 0) &&
           first == identityOf(withoutTrailingSeparator(b));
  }

  // Plans one copy, unless the same source is planned on that place already.
  void addCopy(PlannedItem item, CheckRole role) {
    const std::string key = targetKey(item.target);
    if (const auto folder = folders_.find(key); folder != folders_.end()) {
      collision(item.entryNumber, role, item.source, item.target,
                folder->second.empty() ? item.target : folder->second);
      return;
    }
    if (const auto file = files_.find(key); file != files_.end()) {
      if (memberKey(file->second) != memberKey(item.source) &&
          !sameSource(file->second, item.source)) {
        collision(item.entryNumber, role, item.source, item.target, file->second);
      }
      return;
    }
    files_.emplace(key, item.source);
    checkCaseTwin(item.entryNumber, role, item.target, key);
    checkLength(item.entryNumber, role, item.target);
    ++plan_.filesToCopy;
    plan_.bytesToCopy += item.size;
    plan_.items.push_back(std::move(item));
  }

  void addSourceCopy(int entry, PlannedRole role, const std::string& source,
                     const std::string& target) {
    const FileInfo& info = infoOf(source);
    addCopy({PlannedItem::Step::CopyFile, entry, role, source, target, info.size, info.modified,
             info.device, info.file, info.changed},
            checkRoleOf(role));
  }

  // What the document takes from the scene: its merged elements, in code page 932,
  // readable again by their markers, and a "Sur" group for the menu to jump to. The
  // merged text's outline is kept for the document's verify.
  void checkMergedScene(int entry, const std::string& scene, MergedSceneSummary& merged) {
    if (merged.encoding) {
      unencodable(entry, CheckRole::Scene, scene, *merged.encoding);
    } else {
      scenesBytes_ += merged.encodedSize;
    }
    if (merged.tooManyElements) {
      error(CheckFault::TooManyElements, entry, CheckRole::Scene, scene, kCheckTooManyElements);
    } else if (merged.leavesDataOpen) {
      error(CheckFault::UnclosedData, entry, CheckRole::Scene, scene, kCheckUnclosedData);
    } else {
      appendOutline(sceneOutline_, std::move(merged.outline));
    }
    if (merged.readsBackOtherwise) {
      warning(CheckFault::UndecodableBytesJoined, entry, CheckRole::Scene, scene,
              kCheckUndecodableBytesJoined);
    }
    if (merged.topGroupNames.empty()) {
      warning(CheckFault::NoTopGroup, entry, CheckRole::Scene, scene, kCheckNoTopGroup);
    } else if (merged.firstTopGroupUnnumbered) {
      const std::string& numbered = merged.topGroupNames.front();
      // Listed with the entry's number in front ("NN_"), which the scene's name lacks.
      warning(CheckFault::TopGroupUnnumbered, entry, CheckRole::Scene, scene,
              kCheckTopGroupUnnumbered, {{"group", numbered.substr(3)}});
    }
  }

  // The picture as the document names it: its place in the package and its size
  // (0 by 0 when unknown, with a warning).
  DocumentPicture planPicture(int entry, CheckRole role, const std::string& path) {
    const std::string nn = twoDigits(entry);
    DocumentPicture picture{plan_.destination + nn + kPathSeparator + fileNameOf(path), 0, 0};
    if (const Result<std::string> encoded = encodeCp932Name(fileNameOf(path)); !encoded) {
      unencodable(entry, role, path, encoded.failure());
    }
    if (!checkSourceFile(entry, role, path)) return picture;
    const Result<PictureSize> size =
        !hasImageExtension(path) ? Result<PictureSize>(Failure{}) : probe_(path);
    const std::string key = targetKey(nn + kPathSeparator + fileNameOf(path));
    if (!size) {
      pictureSizes_[key] = std::nullopt;
      warning(CheckFault::PictureSizeUnknown, entry, role, path,
              hasImageExtension(path) ? kCheckPictureContentUnreadable : kCheckPictureNotAccepted);
      return picture;
    }
    pictureSizes_[key] = *size;
    picture.width = size->width;
    picture.height = size->height;
    const std::string width = std::to_string(size->width);
    const std::string height = std::to_string(size->height);
    if (role == CheckRole::Thumbnail && size->height > size->width) {
      warning(CheckFault::ThumbnailNotLandscape, entry, role, path, kCheckThumbnailPortrait,
              {{"width", width}, {"height", height}});
    }
    // A re-import takes a square picture for the thumbnail.
    if (role == CheckRole::Description && size->width >= size->height) {
      warning(CheckFault::DescriptionNotPortrait, entry, role, path,
              size->width > size->height ? kCheckDescriptionLandscape : kCheckDescriptionSquare,
              {{"width", width}, {"height", height}});
    }
    return picture;
  }

  bool isDataFolder(const std::string& item) { return copiedAsFolder(item, infoOf(item).kind); }

  // The entry folder of a package (ending with a separator) when `scene` is that
  // package's copy of a scene, as a package read back names its scenes: at the top of
  // the entry folder and listed in the package's manifest. Empty for any other scene,
  // one an operator put into a package's folder included.
  std::string packageEntryFolderOf(const std::string& scene) {
    // A scene lying elsewhere until an undo is judged where the undo puts it.
    const UndoPlaces& places = undoPlaces();
    const std::string folder = folderOf(places.afterUndo(scene));
    if (folder.empty()) return {};
    const std::string path = withoutTrailingSeparator(folder);
    const std::string name = fileNameOf(path);
    if (!isEntryFolderName(name)) return {};
    const std::string package = folderOf(path);
    auto [at, added] = packages_.try_emplace(package);
    if (added && isPackageDocument(places.now(package + kDocumentName),
                                   places.now(package + entryFolderName(0)))) {
      at->second = manifestListedFilesAt(places.now(package + kManifestName));
    }
    const bool listed = at->second && at->second->count(name + "/" + fileNameOf(scene)) != 0;
    return listed ? folderOf(scene) : std::string();
  }

  bool isLink(const std::string& path) {
    auto [at, added] = links_.try_emplace(path, false);
    if (added) {
      const Result<EntryType> type = entryTypeOf(path);
      at->second = type && *type == EntryType::Link;
    }
    return at->second;
  }

  // The first path from the package's entry folder of the entry being planned (itself
  // included) down to `source` that is a link; empty when there is none, or when the
  // source lies elsewhere. A link in a package is none of Vesk's making: the create
  // does not follow it to copy what it leads to.
  std::string linkInPackage(const std::string& source) {
    const std::string& folder = packageFolder_;
    const std::string path = withoutTrailingSeparator(source);
    if (folder.empty() || path.size() < folder.size() ||
        path.compare(0, folder.size(), folder) != 0) {
      return {};
    }
    for (std::size_t end = folder.size() - 1;; ++end) {
      if (end == path.size() || isPathSeparator(path[end])) {
        std::string way = path.substr(0, end);
        if (isLink(way)) return way;
        if (end == path.size()) return {};
      }
    }
  }

  // Plans the folder and its files when it can be copied whole; reports what keeps it
  // from that.
  void planDataFolder(int entry, const std::string& folder, const std::string& target) {
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
        unreadable(entry, CheckRole::DataFolder, path, systemReason(info.error));
        return;
      case FileKind::Directory:
        break;
    }
    const FolderContents& contents = contentsOf(folder);
    if (!contents.complete) return;
    if (!contents.listed) {
      unreadable(entry, CheckRole::DataFolder, path,
                 systemReason(contents.listed.failure().systemError));
      return;
    }
    if (!addFolder(entry, CheckRole::DataFolder, target, folder)) return;
    const bool inPackage =
        !packageFolder_.empty() && folder.compare(0, packageFolder_.size(), packageFolder_) == 0;
    for (const auto& [file, fileInfo] : contents.files) {
      if (stopping()) return;
      const std::string name = fileNameOf(file);
      if (inPackage && contents.links.count(file) != 0) {
        error(CheckFault::SourceNotRegular, entry, CheckRole::DataFolder, file,
              kCheckLinkInPackage);
      } else if (fileInfo.kind == FileKind::Other) {
        error(CheckFault::SourceNotRegular, entry, CheckRole::DataFolder, file,
              kCheckFolderFileNotRegular);
      } else if (fileInfo.kind != FileKind::Regular || !fileInfo.readable) {
        error(CheckFault::SourceUnreadable, entry, CheckRole::DataFolder, file,
              kCheckFolderFileUnreadable);
      } else {
        addCopy({PlannedItem::Step::CopyFile, entry, PlannedRole::DataFolder, file,
                 withoutTrailingSeparator(target) + kPathSeparator + name, fileInfo.size,
                 fileInfo.modified, fileInfo.device, fileInfo.file, fileInfo.changed},
                CheckRole::DataFolder);
      }
      if (request_.windowsNames) {
        checkWindowsName(entry, CheckRole::DataFolder,
                         withoutTrailingSeparator(target) + kPathSeparator + name);
      }
    }
  }

  // Where the destination tells letter case apart, two names of one folder differing
  // only there are two places, which a Windows kiosk would take for one: the second
  // is named, with the first.
  void checkCaseTwin(int entry, CheckRole role, const std::string& target, const std::string& key) {
    if (!request_.windowsNames || volume_.caseInsensitive) return;
    const auto [first, added] = caseFolded_.try_emplace(foldNameCase(key), target);
    if (added) return;
    warning(CheckFault::NameWindowsCannotHold, entry, role, target, kCheckWindowsCaseTwin,
            {{"other", first->second}});
  }

  void checkWindowsName(int entry, CheckRole role, const std::string& relative) {
    const WindowsNameFault fault = windowsPathFault(request_.destination, relative);
    if (fault == WindowsNameFault::None) return;
    warning(CheckFault::NameWindowsCannotHold, entry, role, relative, windowsNameText(fault));
  }

  // `look`: what looking at the entry gave, ahead of its turn. Its looks are taken as
  // the plan's own, after any look the plan made before at the same file.
  void planEntry(int n, ExhibitionEntry entry, EntryLook look) {
    SceneReading reading = std::move(look.scene);
    for (auto& [path, info] : look.files) infos_.try_emplace(path, info);
    for (auto& [folder, contents] : look.folders) {
      contents_.try_emplace(folder, std::move(contents));
    }
    const std::string nn = twoDigits(n);
    const auto [first, added] = scenes_.try_emplace(entry.scenePath, n);
    if (!added) {
      warning(CheckFault::DuplicateScene, n, CheckRole::Scene, entry.scenePath,
              kCheckDuplicateScene, {{"entry", twoDigits(first->second)}});
    }
    PlannedDocumentEntry document;
    document.scene = entry.scenePath;
    entry.dataFiles.clear();
    packageFolder_ = packageFolders_[static_cast<std::size_t>(n)];
    // A scene read ahead is taken as it was looked at before that read.
    if (reading.read && reading.lookedAt) infos_.try_emplace(entry.scenePath, *reading.lookedAt);
    if (checkSourceFile(n, CheckRole::Scene, entry.scenePath)) {
      // Read here when it was not readable as looked at ahead (it has changed since).
      const std::atomic<bool> never{false};
      if (!reading.read)
        reading = readScene(n, entry.scenePath, reader_, never, request_.textRooms);
    } else {
      reading = {};
    }
    if (reading.failure) {
      unreadable(n, CheckRole::Scene, entry.scenePath,
                 copyFailureReason(entry.scenePath, *reading.failure));
    } else if (reading.read) {
      MergedSceneSummary& merged = reading.merged;
      checkMergedScene(n, entry.scenePath, merged);
      document.mergedSize = merged.size;
      // The data files only a readable scene names, as the merge found them (for a
      // package's own scene, where its document names them).
      for (const auto& value : merged.dataValues) {
        entry.dataFiles.push_back(entryDataFile(entry.scenePath, packageFolder_, value));
      }
      // A value without a name (empty, a lone separator, a dot and a separator) names the
      // scene's folder itself.
      const auto namesNothing = [](const std::string& value) {
        return std::all_of(value.begin(), value.end(),
                           [](char c) { return c == '\\' || c == '/' || c == '.'; }) &&
               value.find("..") == std::string::npos;
      };
      if (std::any_of(merged.dataValues.begin(), merged.dataValues.end(), namesNothing)) {
        warning(CheckFault::DataElementWithoutPath, n, CheckRole::DataFolder,
                folderOf(entry.scenePath), kCheckDataElementWithoutPath);
      }
      const std::vector<std::string>& topGroups = merged.topGroupNames;
      if (!topGroups.empty()) document.facts.topGroup = topGroups.front();
      plan_.topGroupNames.insert(plan_.topGroupNames.end(), topGroups.begin(), topGroups.end());
    }
    plan_.dataFiles.push_back(entry.dataFiles);
    document.facts.thumbnail = planPicture(n, CheckRole::Thumbnail, entry.thumbnailPath);
    document.facts.description = planPicture(n, CheckRole::Description, entry.descriptionPath);
    plan_.documentEntries.push_back(std::move(document));

    // A value no file name can hold would name another file than the scene means.
    std::vector<std::string> usable;
    for (const auto& item : entry.dataFiles) {
      if (holdsUnusableByte(item)) {
        error(CheckFault::UnusableCharacter, n, CheckRole::DataFile, item, kCheckUnusableCharacter);
      } else {
        usable.push_back(item);
      }
    }
    entry.dataFiles = std::move(usable);

    std::vector<bool> folders;
    for (const auto& item : entry.dataFiles) folders.push_back(isDataFolder(item));
    addFolder(n, CheckRole::None, nn, {});
    const std::vector<PlannedFile> files = planEntryFiles(entry, folders);
    for (const auto& file : files) {
      const CheckRole role = checkRoleOf(file.role);
      const std::string target = nn + kPathSeparator + file.place;
      if (const std::string link = linkInPackage(file.source); !link.empty()) {
        error(CheckFault::SourceNotRegular, n, role, link, kCheckLinkInPackage);
        continue;
      }
      switch (file.role) {
        case PlannedRole::Scene:
        case PlannedRole::Thumbnail:
        case PlannedRole::Description:
          // Their problems were reported as they were read.
          if (infoOf(file.source).kind == FileKind::Regular && infoOf(file.source).readable) {
            addSourceCopy(n, file.role, file.source, target);
          }
          if (file.role != PlannedRole::Scene &&
              file.place.find_first_of("\"\r\n") != std::string::npos) {
            error(CheckFault::UnwritableName, n, role, file.source, kCheckUnwritableName);
          }
          break;
        case PlannedRole::DataFile:
          if (checkSourceFile(n, role, file.source)) {
            const std::string parent = folderOf(withoutTrailingSeparator(target));
            if (addFolder(n, role, parent, {})) addSourceCopy(n, file.role, file.source, target);
          }
          break;
        case PlannedRole::DataFolder:
          planDataFolder(n, file.source, target);
          break;
        case PlannedRole::Folder:
        case PlannedRole::Button:
          break;
      }
      if (request_.windowsNames) checkWindowsName(n, role, withoutTrailingSeparator(target));
    }
    checkReimportedRoles(n, entry, plan_.documentEntries.back().facts, files);
  }

  // A re-import of the package takes for each role the last file of that role at the
  // top of the entry folder. Where that is a data file (of the same kind, named after
  // the entry's own), editing the package again would change the entry: the operator
  // is told now. Pictures of the wrong shape have their own warnings.
  void checkReimportedRoles(int n, const ExhibitionEntry& entry, const DocumentEntryFacts& facts,
                            const std::vector<PlannedFile>& files) {
    std::vector<NamedRole> top;
    std::map<std::string, std::string> sources;
    for (const PlannedFile& file : files) {
      const std::vector<std::string> components = pathComponents(file.place);
      if (components.size() != 1) continue;
      const std::string& name = components.front();
      FileRole role = FileRole::None;
      switch (file.role) {
        case PlannedRole::Scene:
          role = FileRole::Scene;
          break;
        case PlannedRole::Thumbnail:
          role = pictureRole(facts.thumbnail.width, facts.thumbnail.height);
          break;
        case PlannedRole::Description:
          role = pictureRole(facts.description.width, facts.description.height);
          break;
        case PlannedRole::DataFile:
        case PlannedRole::DataFolder:
          role = dataFileRole(file);
          break;
        case PlannedRole::Folder:
        case PlannedRole::Button:
          break;
      }
      top.push_back({name, role});
      sources.try_emplace(name, withoutTrailingSeparator(file.source));
    }
    const std::pair<FileRole, const std::string*> own[] = {
        {FileRole::Scene, &entry.scenePath},
        {FileRole::Thumbnail, &entry.thumbnailPath},
        {FileRole::Description, &entry.descriptionPath}};
    const auto isOwn = [&](const std::string& name) {
      return std::any_of(std::begin(own), std::end(own),
                         [&](const auto& file) { return fileNameOf(*file.second) == name; });
    };
    for (const auto& [role, path] : own) {
      const std::string taken = reimportedName(top, role);
      if (taken.empty() || isOwn(taken)) continue;
      const CheckRole checkRole = role == FileRole::Scene       ? CheckRole::Scene
                                  : role == FileRole::Thumbnail ? CheckRole::Thumbnail
                                                                : CheckRole::Description;
      warning(CheckFault::ReimportTakesOther, n, checkRole, sources[taken],
              kCheckReimportTakesOther, {{"name", taken}});
    }
  }

  // The role a re-import gives a data file or folder at the top of the entry folder: a
  // ".nuv" file is a scene, a picture by its size; a folder has none.
  FileRole dataFileRole(const PlannedFile& file) {
    if (file.role == PlannedRole::DataFolder) return FileRole::None;
    const std::string name = withoutTrailingSeparator(file.place);
    if (lowerAscii(extensionOf(name)) == ".nuv") return FileRole::Scene;
    if (!hasImageExtension(name)) return FileRole::None;
    const Result<PictureSize> size = probe_(file.source);
    return size ? pictureRole(size->width, size->height) : FileRole::None;
  }

  // The document the create writes, and the verify of the package it will make: a
  // problem there is an error now, never a failure after copying.
  // The document's own parts are made here with the merged scenes left out; their
  // outlines were taken as each scene was merged.
  void planDocument() {
    std::string frame;
    appendDocumentHead(frame);
    std::vector<DocumentEntryFacts> facts;
    for (const auto& entry : plan_.documentEntries) {
      frame += '\n';
      facts.push_back(entry.facts);
    }
    appendDocumentTail(frame, facts);
    const Result<std::uint64_t> size = cp932SizeWithCrLf(frame);
    if (!size) {
      unencodable(-1, CheckRole::None, kDocumentName, size.failure(), kRoleDocument);
      return;
    }
    documentBytes_ = *size + scenesBytes_;
    plan_.documentBytes = documentBytes_;
    // The merged scenes stand first in the document, before its own elements.
    DocumentOutline outline = std::move(sceneOutline_);
    DocumentOutline own = outlineDocument(frame);
    outline.wellFormed = own.wellFormed;
    appendOutline(outline, std::move(own));

    PackageView planned;
    planned.kindOf = [this](const std::string& relative) {
      const std::string key = targetKey(relative);
      if (key.empty()) return FileKind::Directory;
      if (files_.count(key) != 0) return FileKind::Regular;
      if (folders_.count(key) != 0) return FileKind::Directory;
      return FileKind::Missing;
    };
    planned.pictureSize = [this](const std::string& relative) -> std::optional<PictureSize> {
      const auto found = pictureSizes_.find(targetKey(relative));
      if (found != pictureSizes_.end()) return found->second;
      return std::nullopt;
    };
    planned.holdsScene = [this](const std::string& entryFolder) {
      // The members below the folder, found where they start in the sorted keys.
      const std::string prefix = targetKey(entryFolder) + "/";
      for (auto it = files_.lower_bound(prefix);
           it != files_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
        if (it->first.find('/', prefix.size()) == std::string::npos &&
            lowerAscii(extensionOf(it->first)) == ".nuv") {
          return true;
        }
      }
      return false;
    };
    for (const auto& problem : verifyDocumentOutline(outline, planned, kDocumentName)) {
      // A data path of the document that the package will not hold comes from an entry's
      // scene (one data element holding two paths, say): named with that scene.
      const std::string_view path = problem.dataPath;
      if (problem.fault == PackageFault::PathMissing && path.size() > 2 &&
          isEntryFolderName(path.substr(0, 2))) {
        const int entry = std::stoi(std::string(path.substr(0, 2)));
        if (entry < static_cast<int>(request_.entries.size())) {
          add(CheckSeverity::Error, CheckFault::DocumentMismatch, entry, CheckRole::Scene,
              request_.entries[static_cast<std::size_t>(entry)].scenePath,
              fillTemplate(kCheckDocumentMismatch, {{"problem", problem.text}}));
          continue;
        }
      }
      add(CheckSeverity::Error, CheckFault::DocumentMismatch, -1, CheckRole::None, kDocumentName,
          fillTemplate(kCheckDocumentMismatch, {{"problem", problem.text}}));
    }
  }

  // A place in the package as memberKey spells it, its letters lowered where the
  // destination's file system ignores letter case: two names differing only there are
  // one place.
  std::string targetKey(std::string_view path) const {
    const std::string key = memberKey(path);
    return volume_.caseInsensitive ? foldNameCase(key) : key;
  }

  void checkSpace() {
    const std::uint64_t block = volume_.blockSize != 0 ? volume_.blockSize : 1;
    const auto blocks = [block](std::uint64_t bytes) {
      return (bytes + block - 1) / block * block;
    };
    // Upper bounds of what the run writes beside the copies: a line of the manifest
    // and of the copy record per file (a hash, the numbers, the paths escaped at most
    // to twice their length), and a folder's entry for each name in it (FAT's long
    // names take the most: 32 bytes per 13 characters, and a short entry).
    constexpr std::uint64_t kManifestLine = 64 + 4;
    constexpr std::uint64_t kRecordLine = 64 + 6 * 20 + 12;
    const auto entryBytes = [](std::string_view name) -> std::uint64_t {
      return 3 * name.size() + 96;
    };
    const std::string_view documentName = kDocumentName;
    std::uint64_t manifest = kManifestLine + 2 * documentName.size();
    std::uint64_t record = 2 * kRecordLine + 2 * documentName.size();  // with its heading
    // The working folder holds the package's members, its marker and its lock.
    std::map<std::string, std::uint64_t> folders{
        {"", entryBytes(documentName) + entryBytes(kManifestName) + entryBytes(kCopyRecordName) +
                 entryBytes(kWorkingMarkerName) + entryBytes(kWorkingLockName)}};
    std::uint64_t needed = blocks(documentBytes_) + 2 * block;  // the marker and the lock
    for (const auto& item : plan_.items) {
      const std::string target = withoutTrailingSeparator(item.target);
      folders[withoutTrailingSeparator(folderOf(target))] += entryBytes(fileNameOf(target));
      if (item.step == PlannedItem::Step::MakeFolder) {
        folders.try_emplace(target, 0);
        continue;
      }
      needed += blocks(item.size);
      manifest += kManifestLine + 2 * target.size();
      record += kRecordLine + 2 * (target.size() + item.source.size());
    }
    needed += blocks(manifest) + blocks(record);
    if (request_.withReport) {
      folders[""] += entryBytes(kReportFileName);
      needed += blocks(reportPageBound());
    }
    // A folder takes the blocks its entries fill, at least one.
    for (const auto& [folder, bytes] : folders) needed += std::max(block, blocks(bytes));
    plan_.bytesNeeded = needed;
    const std::optional<std::uint64_t> free =
        request_.freeSpace ? request_.freeSpace(request_.destination) : volume_.available;
    if (!free || *free >= needed) return;
    add(CheckSeverity::Error, CheckFault::NotEnoughSpace, -1, CheckRole::None, request_.destination,
        fillTemplate(kCheckNotEnoughSpace,
                     {{"needed", byteSizeText(needed)}, {"free", byteSizeText(*free)}}));
  }

  // An upper bound of the report page's size: its frame, a menu page's plan, each
  // entry's section and a row for each planned file or folder, every text from the
  // package counted as escaped at its longest. The page a create writes lies in the
  // package's folder and links its pictures rather than carrying them.
  std::uint64_t reportPageBound() const {
    constexpr std::uint64_t kFrame = 64 << 10;
    constexpr std::uint64_t kMenuPage = 4 << 10;
    constexpr std::uint64_t kEntry = 8 << 10;  // its section, and its place on a menu page
    constexpr std::uint64_t kRow = 512;
    constexpr std::uint64_t kEscaped = 6;  // "&quot;" for one character
    const int entries = static_cast<int>(plan_.documentEntries.size());
    std::uint64_t bytes = kFrame + kEscaped * request_.destination.size() +
                          kMenuPage * static_cast<std::uint64_t>(menuPageCount(entries));
    for (const auto& item : plan_.items) bytes += kRow + kEscaped * item.target.size();
    for (const PlannedDocumentEntry& entry : plan_.documentEntries) {
      bytes += kEntry;
      // Each picture's link and name, shown and as the alternative text.
      for (const DocumentPicture* picture : {&entry.facts.thumbnail, &entry.facts.description})
        bytes += 3 * kEscaped * picture->path.size();
    }
    return bytes;
  }

  const CheckRequest& request_;
  PlanObserver* observer_;
  PackagePlan plan_;
  VolumeInfo volume_;
  std::string absoluteDestination_;
  std::vector<CheckProblem> general_;
  std::vector<CheckProblem> entries_;
  // The look for what is in the way of a replace, and where its problems go in general_.
  std::future<std::vector<DestinationWorkProblem>> obstacles_;
  std::size_t obstaclesAt_ = 0;
  std::map<std::string, FileInfo> infos_;
  std::map<std::string, FolderContents> contents_;
  // A folder: what its package's manifest lists; nothing when it holds no package.
  std::map<std::string, std::optional<std::set<std::string>>> packages_;
  std::vector<std::string> packageFolders_;  // of each entry (see packageEntryFolderOf)
  std::map<std::string, bool> links_;        // a path: true when it is a link itself
  std::string packageFolder_;  // the package's entry folder the entry planned lies in, or empty
  std::map<std::string, int> scenes_;
  SceneReader reader_;  // request_.readScene, one call at a time; empty when that is
  std::mutex readerMutex_;
  // The pictures' sizes: request_.probePicture (or probeImageSize) one call at a time,
  // each path's answer kept.
  std::function<Result<PictureSize>(const std::string&)> probe_;
  std::mutex probeMutex_;
  std::map<std::string, Result<PictureSize>> probes_;  // under probeMutex_
  // Set once stopping() has seen the operator's Cancel.
  std::atomic<bool> cancelSeen_{false};
  std::mutex lookedMutex_;
  std::set<std::string> looked_;   // paths the entries' looks came to, under lookedMutex_
  DocumentOutline sceneOutline_;   // of the merged scenes so far, in order
  std::string encoded_;            // room for one scene's encoding
  std::uint64_t scenesBytes_ = 0;  // the merged scenes' bytes in the document, CR LF counted
  // Members planned, by memberKey: a file's source, a folder's data folder (empty for
  // a folder only on the way).
  std::map<std::string, std::string> files_;
  std::map<std::string, std::string> folders_;
  std::map<std::string, std::string> caseFolded_;  // each place's folded key: its first target
  std::map<std::string, std::optional<PictureSize>> pictureSizes_;
  std::uint64_t documentBytes_ = 0;
};

}  // namespace

namespace {

// The plan's progress told to `request.progress`, with the entries as the items of
// the work, and its Cancel asked from there.
class EntryProgress : public PlanObserver {
 public:
  EntryProgress(BuildProgress& progress, std::size_t entries)
      : progress_(progress), entries_(entries) {
    progress_.started(0, entries_);
  }
  void advanced(double fraction) override {
    progress_.advanced(0, static_cast<std::uint64_t>(fraction * static_cast<double>(entries_)));
  }
  bool cancelRequested() override { return progress_.cancelRequested(); }

 private:
  BuildProgress& progress_;
  std::size_t entries_;
};

}  // namespace

PackagePlan planPackage(const CheckRequest& request, PlanObserver* observer) {
  std::optional<EntryProgress> entryProgress;
  if (observer == nullptr && request.progress != nullptr) {
    observer = &entryProgress.emplace(*request.progress, request.entries.size());
  }
  return Planner(request, observer).run();
}

}  // namespace vesk
