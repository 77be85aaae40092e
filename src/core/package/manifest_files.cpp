#include "package/manifest_files.h"

#include "base/atomic_file.h"
#include "format/package_manifest.h"
#include "package/package_layout.h"

namespace vesk {

Status writeManifestFiles(const std::string& packageFolder, const std::vector<RecordedFile>& files,
                          Durability durability) {
  std::vector<ManifestLine> lines;
  lines.reserve(files.size());
  for (const RecordedFile& file : files) lines.push_back({file.path, file.hex});
  if (Status record =
          writeFileAtomically(packageFolder + kCopyRecordName, copyRecordText(files), durability);
      !record) {
    return record;
  }
  return writeFileAtomically(packageFolder + kManifestName, manifestText(lines), durability);
}

}  // namespace vesk
