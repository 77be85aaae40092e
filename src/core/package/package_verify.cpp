#include "package/package_verify.h"

#include <cctype>
#include <set>

#include "base/cp932.h"
#include "base/file_system.h"
#include "base/path_terms.h"
#include "format/document_outline.h"
#include "format/menu_pages.h"
#include "format/two_digits.h"
#include "image/image_probe.h"
#include "messages/message_template.h"
#include "messages/messages.h"
#include "package/document_file_outline.h"
#include "package/failure_reason.h"
#include "package/package_layout.h"
#include "package/package_reimport.h"

namespace vesk {

namespace {

class Verifier {
 public:
  explicit Verifier(const PackageView& view) : view_(view) {}

  std::vector<PackageProblem> problems;

  void add(PackageFault fault, const char* text, const std::string& subject) {
    problems.push_back({fault, std::string(text) + subject});
  }

  // The member a data path value names, relative to the package folder; empty (with
  // its problem reported once) when it is absolute, climbs out or names nothing.
  std::string resolve(const std::string& value) {
    if (!value.empty() &&
        (value.front() == '/' || value.front() == '\\' || value.find(':') != std::string::npos)) {
      report(PackageFault::AbsolutePath, kVerifyAbsolutePath, value);
      return {};
    }
    std::string local;
    std::string component;
    for (const char c : value + '\\') {
      if (c == '/' || c == '\\') {
        if (component == "..") {
          report(PackageFault::PathOutside, kVerifyPathOutside, value);
          return {};
        }
        component.clear();
      } else {
        component += c;
      }
      local += (c == '\\' || c == '/') ? kPathSeparator : c;
    }
    local.pop_back();
    if (local.empty() || view_.kindOf(local) == FileKind::Missing) {
      report(PackageFault::PathMissing, kVerifyPathMissing, value);
      return {};
    }
    return local;
  }

  const PackageView& view() const { return view_; }

 private:
  // Reports a path's problem once, however many elements name it.
  void report(PackageFault fault, const char* text, const std::string& value) {
    if (reported_.insert(value).second) problems.push_back({fault, text + value, value});
  }

  const PackageView& view_;
  std::set<std::string> reported_;
};

// The numbers NN of the names prefix + two digits.
std::set<int> numbered(const std::vector<std::string>& names, const std::string& prefix) {
  std::set<int> numbers;
  for (const auto& name : names) {
    if (name.size() == prefix.size() + 2 && name.compare(0, prefix.size(), prefix) == 0 &&
        std::isdigit(static_cast<unsigned char>(name[prefix.size()])) &&
        std::isdigit(static_cast<unsigned char>(name[prefix.size() + 1]))) {
      numbers.insert(std::stoi(name.substr(prefix.size())));
    }
  }
  return numbers;
}

// Reports every name prefix + NN that is missing for NN below `count` or present at
// or beyond it.
void expectNumbered(Verifier& verifier, PackageFault fault, const char* text,
                    const std::vector<std::string>& names, const std::string& prefix, int count) {
  const std::set<int> found = numbered(names, prefix);
  for (int i = 0; i < count; ++i) {
    if (found.count(i) == 0) verifier.add(fault, text, prefix + twoDigits(i));
  }
  for (const int i : found) {
    if (i >= count) verifier.add(fault, text, prefix + twoDigits(i));
  }
}

void checkPicture(Verifier& verifier, const DataElement& element) {
  if (element.paths.empty()) {
    verifier.add(PackageFault::EntryMismatch, kVerifyEntryMismatch, element.name);
    return;
  }
  const std::string path = verifier.resolve(element.paths.front());
  if (path.empty()) return;
  const auto stated = parseSizeValue(element.size);
  const auto size = verifier.view().pictureSize(path);
  if (!size) {
    // The create writes "0, 0" for a picture it cannot measure, and warns before.
    if (!stated || stated->first != 0 || stated->second != 0) {
      verifier.add(PackageFault::PictureUnreadable, kVerifyPictureUnreadable,
                   element.paths.front());
    }
    return;
  }
  const int width = size->width;
  const int height = size->height;
  if (!stated || stated->first != width || stated->second != height) {
    verifier.add(PackageFault::PictureSizeWrong, kVerifyPictureSizeWrong,
                 element.paths.front() + "（記載 " + element.size + "、実際 " +
                     std::to_string(width) + ", " + std::to_string(height) + "）");
  }
}

}  // namespace

std::vector<PackageProblem> verifyDocument(std::string_view text, const PackageView& view,
                                           const std::string& documentName) {
  return verifyDocumentOutline(outlineDocument(text), view, documentName);
}

std::vector<PackageProblem> verifyDocumentOutline(const DocumentOutline& outline,
                                                  const PackageView& view,
                                                  const std::string& documentName) {
  Verifier verifier(view);
  if (outline.undecodedBytes) {
    verifier.add(PackageFault::DocumentUndecodable, kVerifyDocumentUndecodable, documentName);
  }
  if (!outline.wellFormed) {
    verifier.add(PackageFault::DocumentMalformed, kVerifyDocumentMalformed, documentName);
    return verifier.problems;
  }

  std::vector<std::string> dataNames;
  for (const auto& element : outline.data) {
    dataNames.push_back(element.name);
    const bool picture =
        numbered({element.name}, "me").size() + numbered({element.name}, "ex").size() > 0;
    if (picture) {
      checkPicture(verifier, element);
    } else {
      for (const auto& value : element.paths) {
        // The button images are checked below, whatever the document names.
        if (value != kUpButtonName && value != kDownButtonName) verifier.resolve(value);
      }
    }
  }

  for (const char* button : {kUpButtonName, kDownButtonName}) {
    if (view.kindOf(button) != FileKind::Regular) {
      verifier.add(PackageFault::ButtonMissing, kVerifyButtonMissing, button);
    }
  }

  const int count = static_cast<int>(numbered(dataNames, "me").size());
  if (count == 0) verifier.add(PackageFault::EntryMismatch, kVerifyEntryMismatch, "me00");
  expectNumbered(verifier, PackageFault::EntryMismatch, kVerifyEntryMismatch, dataNames, "ex",
                 count);
  expectNumbered(verifier, PackageFault::EntryMismatch, kVerifyEntryMismatch, outline.eventNames,
                 "goto_ob", count);
  expectNumbered(verifier, PackageFault::EntryMismatch, kVerifyEntryMismatch,
                 outline.drawGroupNames, "ex", count);
  const int pages = menuPageCount(count);
  expectNumbered(verifier, PackageFault::MenuMismatch, kVerifyMenuMismatch, outline.drawGroupNames,
                 "menu", pages);
  expectNumbered(verifier, PackageFault::MenuMismatch, kVerifyMenuMismatch, outline.eventNames,
                 "up", pages);
  expectNumbered(verifier, PackageFault::MenuMismatch, kVerifyMenuMismatch, outline.eventNames,
                 "down", pages);

  for (const int i : numbered(dataNames, "me")) {
    if (!view.holdsScene(twoDigits(i))) {
      verifier.add(PackageFault::SceneMissing, kVerifySceneMissing, twoDigits(i) + kPathSeparator);
    }
  }
  return verifier.problems;
}

namespace {

// True when the path `relative` inside the package `folder` is, or passes through, a
// symbolic link: what it leads to is not the package's, and is neither looked at nor
// opened.
bool throughLink(const std::string& folder, const std::string& relative) {
  std::string path = folder;
  for (const std::string& part : pathComponents(relative)) {
    if (part == "..") return false;  // leaves the package: reported as such, not here
    path = joinPath(path, part);
    if (isSymbolicLink(path)) return true;
  }
  return false;
}

}  // namespace

PackageView diskPackageView(const std::string& folder) {
  PackageView disk;
  disk.kindOf = [folder](const std::string& relative) {
    if (throughLink(folder, relative)) return FileKind::Other;
    return fileKindOf(folder + relative).value_or(FileKind::Inaccessible);
  };
  disk.pictureSize = [folder](const std::string& relative) -> std::optional<PictureSize> {
    if (throughLink(folder, relative)) return std::nullopt;
    const auto size = probeImageSize(folder + relative);
    if (!size) return std::nullopt;
    return *size;
  };
  disk.holdsScene = [folder](const std::string& entryFolder) {
    if (throughLink(folder, entryFolder)) return false;
    for (const auto& path : listPattern(folder + entryFolder + kPathSeparator + "*")) {
      if (isSymbolicLink(path)) continue;
      if (lowerAscii(extensionOf(path)) == ".nuv" && !isDirectory(path)) return true;
    }
    return false;
  };
  return disk;
}

std::vector<PackageProblem> verifyPackage(const std::string& documentPath) {
  // Read and outlined piece by piece: memory stays bounded whatever the document's size.
  const Result<DocumentOutline> outline = outlineDocumentFile(documentPath);
  if (!outline) {
    const Failure& failure = outline.failure();
    const std::string reason = failure.code == FailureCode::NotFound ? kReasonMissing
                               : failure.code == FailureCode::NotRegularFile
                                   ? kReasonNotRegularFile
                                   : systemReason(failure.systemError);
    return {{PackageFault::DocumentUnreadable,
             reason.empty() ? kVerifyDocumentUnreadable + documentPath
                            : fillTemplate(kVerifyDocumentUnreadableBecause,
                                           {{"reason", reason}, {"path", documentPath}})}};
  }
  const std::string folder = folderOf(documentPath);
  std::vector<PackageProblem> problems =
      verifyDocumentOutline(*outline, diskPackageView(folder), documentPath);
  // The numbered folder after the document's last entry would be read back as one
  // entry more: the folders and the document then tell two packages.
  std::vector<std::string> names;
  for (const auto& element : outline->data) names.push_back(element.name);
  const std::size_t count = numbered(names, "me").size();
  if (outline->wellFormed && count > 0 && count < static_cast<std::size_t>(kMaxReimportFolders)) {
    const std::string next = twoDigits(static_cast<int>(count));
    const Result<FileKind> kind = fileKindOf(folder + next);
    if (kind && *kind == FileKind::Directory && !isSymbolicLink(folder + next)) {
      problems.push_back({PackageFault::EntryMismatch, kVerifyFolderNotInDocument + folder + next});
    }
  }
  return problems;
}

std::string verifyFailureText(const std::vector<PackageProblem>& problems) {
  std::string text = kVerifyFailedMessage;
  for (const auto& problem : problems) text += "\n" + problem.text;
  return text;
}

}  // namespace vesk
