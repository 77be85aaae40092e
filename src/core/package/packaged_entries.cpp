#include "package/packaged_entries.h"

#include "base/path_terms.h"

namespace vesk {

namespace {

// `path` with every separator written as the platform's and, on Windows, its letters in
// one case: the form two spellings of one path share.
std::string comparable(std::string_view path) {
  std::string form;
  form.reserve(path.size());
  for (const char c : path) form += isPathSeparator(c) ? kPathSeparator : c;
#ifdef _WIN32
  return lowerAscii(form);
#else
  return form;
#endif
}

bool isInside(const std::string& path, const std::string& folder) {
  const std::string inner = comparable(path);
  return inner.size() > folder.size() && inner.compare(0, folder.size(), folder) == 0;
}

}  // namespace

std::vector<ExhibitionEntry> entriesAfterCreate(const PackagePlan& plan,
                                                std::vector<ExhibitionEntry> entries,
                                                const std::string& packageFolder) {
  std::string folder = comparable(packageFolder);
  if (folder.empty()) return entries;
  if (folder.back() != kPathSeparator) folder += kPathSeparator;
  std::string copies = packageFolder;
  if (!isPathSeparator(copies.back())) copies += kPathSeparator;
  for (const PlannedItem& item : plan.items) {
    if (item.step != PlannedItem::Step::CopyFile || item.entryNumber < 0 ||
        static_cast<std::size_t>(item.entryNumber) >= entries.size()) {
      continue;
    }
    ExhibitionEntry& entry = entries[static_cast<std::size_t>(item.entryNumber)];
    std::string* path = item.role == PlannedRole::Scene         ? &entry.scenePath
                        : item.role == PlannedRole::Thumbnail   ? &entry.thumbnailPath
                        : item.role == PlannedRole::Description ? &entry.descriptionPath
                                                                : nullptr;
    if (path != nullptr && isInside(*path, folder)) *path = copies + item.target;
  }
  return entries;
}

}  // namespace vesk
