#include "package_document.h"

#include "base/file_kind.h"
#include "base/path_terms.h"

namespace vesk::cli {

bool isPackageDocument(const std::string& path) {
  return fileNameOf(path) == "exhibition.nuv" && fileKindOf(path) == FileKind::Regular &&
         fileKindOf(folderOf(path) + "00") == FileKind::Directory;
}

}  // namespace vesk::cli
