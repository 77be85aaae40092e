#include "editor/drop_routing.h"

#include "base/path_terms.h"
#include "messages/messages.h"
#include "package/file_role.h"
#include "package/package_reimport.h"

namespace vesk {

void routeDroppedFile(const std::string& path, EntryList& list) {
  assignRole(list.workingEntry(), fileRoleOf(path), path);
}

void routeDroppedFiles(const std::vector<std::string>& paths, DropTarget& target) {
  for (const std::string& path : paths) {
    if (fileNameOf(path) == kPackageDocumentName) {
      if (!target.sink.askYesNo(kReimportQuestion)) return;
      target.browseStartPath = path;
      reimportPackage(path, target.list, target.sink);
      target.showReimportedPackage();
      continue;
    }
    if (lowerAscii(extensionOf(path)) == ".nuv") target.browseStartPath = path;
    routeDroppedFile(path, target.list);
    target.showWorkingEntry();
  }
}

}  // namespace vesk
