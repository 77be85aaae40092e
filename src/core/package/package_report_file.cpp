#include "package/package_report_file.h"

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <unordered_map>

#include "base/atomic_file.h"
#include "base/cp932.h"
#include "base/file_info.h"
#include "base/file_kind.h"
#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "format/document_outline.h"
#include "format/html_text.h"
#include "format/menu_plan.h"
#include "format/two_digits.h"
#include "image/image_probe.h"
#include "messages/report_texts.h"
#include "package/build_command.h"
#include "package/content_verify.h"
#include "package/failure_reason.h"
#include "package/failure_text.h"
#include "package/folder_listing.h"
#include "package/package_layout.h"
#include "package/package_members.h"
#include "package/package_replace.h"
#include "package/package_verify.h"
#include "package/report_page.h"
#include "vesk_version.h"

namespace vesk {

namespace {

namespace fs = std::filesystem;

std::string withoutTrailingSeparator(std::string folder) {
  while (folder.size() > 1 && isPathSeparator(folder.back())) folder.pop_back();
  return folder;
}

// Where the package's members lie: beside the document, but for the entry folders a
// replace keeps where they are.
struct Place {
  std::string folder;                       // the document's, ending with a separator
  std::map<std::string, std::string> kept;  // entry folder -> where it lies

  // The full path of `relative` (the platform's separators).
  std::string at(const std::string& relative) const {
    const std::size_t separator = relative.find(kPathSeparator);
    const auto found = kept.find(relative.substr(0, separator));
    if (found == kept.end()) return folder + relative;
    return separator == std::string::npos ? found->second.substr(0, found->second.size() - 1)
                                          : found->second + relative.substr(separator + 1);
  }
};

// The package's path for a data path value of the document; empty for an absolute
// value, one that climbs out or one through a link, which is never followed.
std::string localPath(const Place& place, const std::string& value) {
  if (value.empty() || value.front() == '/' || value.front() == '\\' ||
      value.find(':') != std::string::npos) {
    return {};
  }
  std::string local;
  std::string component;
  for (const char c : value + '\\') {
    if (c == '/' || c == '\\') {
      if (component == "..") return {};
      component.clear();
      local += kPathSeparator;
    } else {
      component += c;
      local += c;
    }
  }
  local.pop_back();
  // Every folder on the way is one of the package's own, not a link (or junction) that
  // would lead out of it; nor is what the value names a link itself.
  for (std::size_t at = local.find(kPathSeparator); at != std::string::npos;
       at = local.find(kPathSeparator, at + 1)) {
    const Result<EntryType> type = entryTypeOf(place.at(local.substr(0, at)));
    if (!type || *type != EntryType::Folder) return {};
  }
  if (isSymbolicLink(place.at(local))) return {};
  return place.at(local);
}

bool isRegularFile(const std::string& path) {
  const Result<EntryType> type = entryTypeOf(path);
  return type && *type == EntryType::File;
}

// The size of every regular file of the package's members, by path, from one walk
// that follows no link.
using FileSizes = std::unordered_map<std::string, std::uint64_t>;

std::string sizeKey(const std::string& file) {
  return toFsPath(file).lexically_normal().generic_string();
}

// Through base's walk, which takes long paths on Windows and follows no link; a
// folder that cannot be read adds nothing.
void addTree(const std::string& path, FileSizes& sizes) {
  const Result<EntryType> type = entryTypeOf(path);
  if (!type) return;
  if (*type == EntryType::File) {
    sizes[sizeKey(path)] = fileSize(path).value_or(0);
    return;
  }
  if (*type != EntryType::Folder) return;
  const Result<std::vector<FolderEntry>> entries = listFolder(path);
  if (!entries) return;
  for (const FolderEntry& entry : *entries) {
    if (entry.type == EntryType::File || entry.type == EntryType::Folder) {
      addTree(path + kPathSeparator + entry.name, sizes);
    }
  }
}

// The size of a regular file: from the walk, else looked at now.
std::optional<std::uint64_t> sizeOf(const std::string& file, const FileSizes& sizes) {
  const auto known = sizes.find(sizeKey(file));
  if (known != sizes.end()) return known->second;
  const FileInfo info = fileInfoOf(file);
  if (info.kind != FileKind::Regular) return std::nullopt;
  return info.size;
}

const char* mimeTypeOf(const std::string& path) {
  const std::string extension = lowerAscii(extensionOf(path));
  if (extension == ".png") return "image/png";
  if (extension == ".bmp") return "image/bmp";
  return "image/jpeg";
}

// Pictures larger than this are not carried inside the page: the thumbnails and
// descriptions of an exhibition are far smaller, and a page must stay readable.
constexpr std::uint64_t kMaxEmbeddedBytes = std::uint64_t{16} << 20;
// Nor, all together, more than this (each picture counted wherever the page shows it):
// the page, and the memory that makes it, stay bounded whatever the document names.
constexpr std::uint64_t kMaxPageEmbeddedBytes = std::uint64_t{64} << 20;

// The data URIs made so far by path, so that a picture named again is read once, and
// the bytes the page carries in them so far.
struct EmbeddedPictures {
  std::map<std::string, std::string> byPath;
  std::uint64_t carried = 0;

  // The URI, when the page may carry it once more.
  std::optional<std::string> carry(const std::string& uri) {
    if (carried + uri.size() > kMaxPageEmbeddedBytes) return std::nullopt;
    carried += uri.size();
    return uri;
  }
};

ReportPicture pictureOf(const Place& place, const DataElement* element, const PictureLinks& links,
                        EmbeddedPictures& embedded) {
  ReportPicture picture;
  if (element == nullptr || element->paths.empty()) return picture;
  const std::string& value = element->paths.front();
  // The document's paths separate with backslashes on every platform.
  const std::size_t separator = value.find_last_of("\\/");
  picture.fileName = value.substr(separator == std::string::npos ? 0 : separator + 1);
  const std::string path = localPath(place, value);
  if (path.empty() || !isRegularFile(path)) return picture;
  if (const auto size = probeImageSize(path)) picture.size = {{size->width, size->height}};
  if (!links.embedded) {
    picture.source = links.urlPrefix + urlPath(value);
    return picture;
  }
  if (const auto known = embedded.byPath.find(path); known != embedded.byPath.end()) {
    picture.source = embedded.carry(known->second).value_or("");
    return picture;
  }
  const FileInfo info = fileInfoOf(path);
  if (info.kind != FileKind::Regular || info.size > kMaxEmbeddedBytes ||
      embedded.carried + info.size > kMaxPageEmbeddedBytes) {
    return picture;
  }
  if (const auto bytes = readFile(path)) {
    const std::string uri = std::string("data:") + mimeTypeOf(path) + ";base64," + base64(*bytes);
    picture.source = embedded.carry(uri).value_or("");
    embedded.byPath.emplace(path, uri);
  }
  return picture;
}

ReportDataItem dataItemOf(const Place& place, const std::string& value, const FileSizes& sizes) {
  ReportDataItem item;
  item.path = value;
  const std::string path = localPath(place, value);
  const FileInfo info = path.empty() ? FileInfo{} : fileInfoOf(path);
  item.folder = info.kind == FileKind::Directory;
  if (!item.folder) {
    const auto size = info.kind == FileKind::Regular ? sizeOf(path, sizes) : std::nullopt;
    item.missing = !size;
    item.files = size ? 1 : 0;
    item.bytes = size.value_or(0);
    return item;
  }
  // A data folder is copied one level deep: its files are what the package holds.
  const Result<std::vector<FolderEntry>> entries = listFolder(path);
  if (!entries) return item;
  for (const FolderEntry& entry : *entries) {
    if (entry.type != EntryType::File) continue;
    ++item.files;
    item.bytes += sizeOf(path + kPathSeparator + entry.name, sizes).value_or(0);
  }
  return item;
}

std::string sceneNameIn(const std::string& entryFolder) {
  std::vector<std::string> files;
  // An entry folder that cannot be read names no scene.
  if (!listFolderFiles(entryFolder + kPathSeparator + "*", files)) return {};
  for (const auto& file : files) {
    if (lowerAscii(extensionOf(file)) == ".nuv" && isRegularFile(file)) return fileNameOf(file);
  }
  return {};
}

std::string localTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

}  // namespace

PictureLinks pictureLinksFor(const std::string& documentPath, const std::string& outputPath) {
  std::error_code ec;
  const fs::path package = fs::absolute(toFsPath(documentPath), ec).parent_path();
  const fs::path page = fs::absolute(toFsPath(outputPath), ec).parent_path();
  PictureLinks links;
  if (fs::equivalent(page, package, ec) && !ec) {
    links.embedded = false;
  } else if (fs::equivalent(page, package.parent_path(), ec) && !ec &&
             !package.filename().empty()) {
    links.embedded = false;
    links.urlPrefix = urlPath(fromFsPath(package.filename())) + "/";
  }
  return links;
}

Result<PackageReport> readPackageReport(const std::string& documentPath, const PictureLinks& links,
                                        const WrittenPackage* written) {
  const auto bytes = readFile(documentPath);
  if (!bytes) return bytes.failure();
  std::string text = decodeCp932(*bytes);
  std::size_t kept = 0;  // lines end with CR LF on disk
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) text[kept++] = text[i];
  }
  text.resize(kept);

  const std::string folder = folderOf(documentPath);
  Place place{folder, {}};
  if (written != nullptr) place.kept = written->keptFolders;
  PackageReport report;
  std::error_code ec;
  // A package built in the staging folder of a replace takes the destination's name.
  fs::path packageFolder = fs::absolute(toFsPath(documentPath), ec).parent_path();
  if (packageFolder.filename() == toFsPath(kStagingFolderName)) {
    packageFolder = packageFolder.parent_path();
  }
  report.packageName = fromFsPath(packageFolder.filename());
  report.picturesEmbedded = links.embedded;

  const DocumentOutline outline = outlineDocument(text);
  std::map<std::string, const DataElement*> byName;
  for (const auto& element : outline.data) byName.emplace(element.name, &element);
  // At most as many entries as a package holds, whatever the document names.
  int count = 0;
  while (count < static_cast<int>(kMaxEntries) && byName.count("me" + twoDigits(count)) != 0) {
    ++count;
  }

  // The files the kiosk uses: not the report, the manifest or the copy record. The
  // create's own list holds just those.
  FileSizes sizes;
  if (written != nullptr) {
    for (const RecordedFile& file : written->files) {
      sizes[sizeKey(place.at(nativePackagePath(file.path)))] = file.size;
    }
  } else {
    const std::string top = folder.empty() ? std::string(".") : withoutTrailingSeparator(folder);
    for (const auto& name : packageMembers(top)) {
      if (name != kReportFileName && name != kManifestName && name != kCopyRecordName) {
        addTree(folder + name, sizes);
      }
    }
  }
  report.files = sizes.size();
  for (const auto& [file, size] : sizes) report.bytes += size;

  std::vector<std::string> sceneNames;
  EmbeddedPictures embedded;
  for (int i = 0; i < count; ++i) {
    const std::string number = twoDigits(i);
    ReportEntry entry;
    entry.number = i;
    entry.sceneName = sceneNameIn(place.at(number));
    entry.thumbnail = pictureOf(place, byName["me" + number], links, embedded);
    const auto description = byName.find("ex" + number);
    entry.description = pictureOf(
        place, description != byName.end() ? description->second : nullptr, links, embedded);
    std::set<std::string> seen;
    for (const auto& element : outline.data) {
      if (element.name.compare(0, number.size() + 1, number + "_") != 0) continue;
      for (const auto& value : element.paths) {
        if (seen.insert(value).second) entry.data.push_back(dataItemOf(place, value, sizes));
      }
    }
    sceneNames.push_back(entry.sceneName);
    report.entries.push_back(std::move(entry));
  }
  report.pages = planMenuPages(text, sceneNames);

  report.toolVersion = kVersion;
  // The create's report follows its own check, which found every file as hashed while
  // written. Otherwise the report checks every byte, as vesk-cli verify does.
  if (written != nullptr) {
    report.manifest = ManifestState::VerifiedNow;
    return report;
  }
  const ContentVerdict verdict = verifyWholePackage(documentPath, ContentCheck::Full);
  for (const auto& problem : verdict.problems) report.problems.push_back(problem.text);
  report.manifest = verdict.manifest;
  return report;
}

namespace {

Status writeReport(const std::string& documentPath, const std::string& outputPath,
                   const WrittenPackage* written) {
  auto report = readPackageReport(documentPath, pictureLinksFor(documentPath, outputPath), written);
  if (!report) return report.failure();
  report->madeAt = localTimeNow();
  return writeFileAtomically(outputPath, renderReportPage(*report));
}

}  // namespace

Status writePackageReport(const std::string& documentPath, const std::string& outputPath) {
  // An operator's own page of the report's name at the package's top is never replaced.
  if (outputPath == reportPathOf(documentPath)) {
    const Result<EntryType> type = entryTypeOf(outputPath);
    if (type && *type == EntryType::File && !isReportPageFile(outputPath)) {
      return makeFailure(FailureCode::AlreadyExists, outputPath, EEXIST);
    }
  }
  return writeReport(documentPath, outputPath, nullptr);
}

Status writeWrittenPackageReport(const std::string& documentPath, const std::string& outputPath,
                                 const WrittenPackage& written) {
  return writeReport(documentPath, outputPath, &written);
}

std::string reportFailureText(const Failure& failure) {
  if (failure.code == FailureCode::ReadFailed || failure.code == FailureCode::NotFound ||
      failure.code == FailureCode::NotRegularFile) {
    return withReason(std::string(kReportFailedMessage) + ": " + failure.path,
                      systemReason(failure.systemError));
  }
  if (failure.code == FailureCode::AlreadyExists) {
    return std::string(kReportFailedMessage) + "\n" + kReportPageNotOurs + failure.path;
  }
  return std::string(kReportFailedMessage) + "\n" + writeFailureText(failure);
}

std::string reportPathOf(const std::string& documentPath) {
  return folderOf(documentPath) + kReportFileName;
}

}  // namespace vesk
