#include "package/written_verify.h"

#include "base/file_kind.h"
#include "base/file_system.h"
#include "base/path_terms.h"
#include "messages/message_template.h"
#include "messages/messages.h"
#include "package/content_verify.h"
#include "package/written_tree.h"

namespace vesk {

std::vector<PackageProblem> verifyWrittenPackage(const WrittenDocument& document,
                                                 const std::vector<RecordedFile>* files) {
  const std::string folder = folderOf(document.path);
  // The document's bytes are the stream hashed and outlined as it was written: its
  // place and size on disk tell whether they are still all there. With a record of
  // the files written, the document is one of them, and one walk of the package
  // serves both the document's check and the files'.
  if (files != nullptr) {
    const WrittenTree tree = walkWrittenPackage(folder);
    std::vector<PackageProblem> problems =
        verifyDocumentOutline(document.outline, writtenPackageView(tree), document.path);
    for (auto& found : verifyWrittenContent(tree, *files).problems) {
      problems.push_back(std::move(found));
    }
    return problems;
  }
  std::vector<PackageProblem> problems =
      verifyDocumentOutline(document.outline, diskPackageView(folder), document.path);
  const Result<FileKind> kind = fileKindOf(document.path);
  const auto size = fileSize(document.path);
  if (!kind || *kind != FileKind::Regular || isSymbolicLink(document.path) || !size) {
    problems.push_back(
        {PackageFault::DocumentUnreadable, kVerifyDocumentUnreadable + document.path});
  } else if (*size != document.size) {
    problems.push_back({PackageFault::ContentChanged,
                        fillTemplate(kVerifySizeWrong, {{"expected", std::to_string(document.size)},
                                                        {"actual", std::to_string(*size)},
                                                        {"path", document.path}})});
  }
  for (auto& found : verifyPackageContent(folder, ContentCheck::Quick).problems) {
    problems.push_back(std::move(found));
  }
  return problems;
}

}  // namespace vesk
