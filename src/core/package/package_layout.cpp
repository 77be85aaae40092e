#include "package/package_layout.h"

#include <filesystem>
#include <system_error>

#include "base/file_kind.h"
#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "format/two_digits.h"
#include "messages/report_texts.h"

namespace vesk {

std::vector<std::string> packageTopFileNames() {
  return {kDocumentName,   kUpButtonName, kDownButtonName,
          kReportFileName, kManifestName, kCopyRecordName};
}

std::string entryFolderName(int number) {
  return twoDigits(number);
}

bool isEntryFolderName(std::string_view name) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return name.size() == 2 && digit(name[0]) && digit(name[1]);
}

bool isDocumentName(std::string_view path) {
  return fileNameOf(path) == kDocumentName;
}

std::optional<std::vector<std::string_view>> packagePathParts(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = path.find('/', start);
    const std::string_view part = path.substr(start, slash - start);
    if (part.empty() || part == "." || part == "..") return std::nullopt;
#ifdef _WIN32
    if (part.find_first_of("\\:") != std::string_view::npos) return std::nullopt;
#endif
    parts.push_back(part);
    if (slash == std::string_view::npos) return parts;
    start = slash + 1;
  }
}

bool holdsPackage(const std::string& folder) {
  // A link named like the document counts, whatever it leads to.
  return entryTypeOf(joinPath(folder, kDocumentName)).ok() ||
         isDirectory(joinPath(folder, entryFolderName(0)));
}

bool isPackageDocument(const std::string& path) {
  return isPackageDocument(path, folderOf(path) + entryFolderName(0));
}

bool isPackageDocument(const std::string& path, const std::string& firstEntryFolder) {
  const auto is = [](const std::string& member, FileKind kind) {
    const Result<FileKind> found = fileKindOf(member);
    return found && *found == kind;
  };
  return isDocumentName(path) && is(path, FileKind::Regular) &&
         is(firstEntryFolder, FileKind::Directory);
}

std::string nativePackagePath(std::string recordedPath) {
  for (char& c : recordedPath) {
    if (c == '/') c = kPathSeparator;
  }
  return recordedPath;
}

std::string recordedPackagePath(std::string nativePath) {
  for (char& c : nativePath) {
    if (c == kPathSeparator) c = '/';
  }
  return nativePath;
}

}  // namespace vesk
