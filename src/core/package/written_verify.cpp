#include "package/written_verify.h"

#include "base/file_kind.h"
#include "base/file_system.h"
#include "base/path_terms.h"
#include "messages/message_template.h"
#include "messages/messages.h"
#include "package/content_verify.h"

namespace vesk {

std::vector<PackageProblem> verifyWrittenPackage(const WrittenDocument& document,
                                                 const std::vector<RecordedFile>* files) {
  const std::string folder = folderOf(document.path);
  std::vector<PackageProblem> problems =
      verifyDocumentOutline(document.outline, diskPackageView(folder), document.path);
  // The document's bytes are the stream hashed and outlined as it was written: its
  // place and size on disk tell whether they are still all there. With a record of
  // the files written, the document is one of them.
  if (files != nullptr) {
    for (auto& found : verifyWrittenContent(folder, *files).problems) {
      problems.push_back(std::move(found));
    }
    return problems;
  }
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
