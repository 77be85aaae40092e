#include "package/packaged_entries.h"

#include <algorithm>
#include <optional>

#include "base/path_terms.h"
#include "package/package_layout.h"

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

// True when `path` (comparable) lies in an entry folder of the package in `folder`
// (comparable, ending with a separator): the only files of a package an entry names.
bool inEntryFolder(const std::string& path, const std::string& folder) {
  if (path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0) return false;
  const std::size_t end = path.find(kPathSeparator, folder.size());
  return end != std::string::npos &&
         isEntryFolderName(std::string_view(path).substr(folder.size(), end - folder.size()));
}

// The package folder in its comparable form ending with a separator, and as written.
struct PackagePlace {
  std::string comparable;
  std::string written;
};

std::optional<PackagePlace> placeOf(const std::string& packageFolder) {
  PackagePlace place{comparable(packageFolder), packageFolder};
  if (place.comparable.empty()) return std::nullopt;
  if (place.comparable.back() != kPathSeparator) place.comparable += kPathSeparator;
  if (!isPathSeparator(place.written.back())) place.written += kPathSeparator;
  return place;
}

}  // namespace

std::vector<ExhibitionEntry> entriesAfterCreate(const PackagePlan& plan,
                                                std::vector<ExhibitionEntry> entries,
                                                const std::string& packageFolder) {
  const std::optional<PackagePlace> place = placeOf(packageFolder);
  if (!place) return entries;
  const std::string& folder = place->comparable;
  const std::string& copies = place->written;

  std::vector<std::vector<const PlannedItem*>> copiesOf(entries.size());
  for (const PlannedItem& item : plan.items) {
    if (item.step == PlannedItem::Step::CopyFile && item.entryNumber >= 0 &&
        static_cast<std::size_t>(item.entryNumber) < entries.size()) {
      copiesOf[static_cast<std::size_t>(item.entryNumber)].push_back(&item);
    }
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    ExhibitionEntry& entry = entries[i];
    const std::pair<PlannedRole, std::string*> roles[] = {
        {PlannedRole::Scene, &entry.scenePath},
        {PlannedRole::Thumbnail, &entry.thumbnailPath},
        {PlannedRole::Description, &entry.descriptionPath}};
    for (const auto& [role, path] : roles) {
      const std::string inner = comparable(*path);
      if (!inEntryFolder(inner, folder)) continue;
      // The copy of this very file (one file in two roles is copied once, under the
      // first), else the copy planned for the role.
      const PlannedItem* copy = nullptr;
      for (const PlannedItem* item : copiesOf[i]) {
        if (comparable(item->source) == inner) {
          copy = item;
          break;
        }
        if (copy == nullptr && item->role == role) copy = item;
      }
      if (copy != nullptr) *path = copies + copy->target;
    }
  }
  return entries;
}

ExhibitionEntry workingEntryAfterCreate(const PackagePlan& plan, ExhibitionEntry working,
                                        const std::string& packageFolder) {
  const std::optional<PackagePlace> place = placeOf(packageFolder);
  if (!place) return working;
  for (std::string* path : {&working.scenePath, &working.thumbnailPath, &working.descriptionPath}) {
    const std::string inner = comparable(*path);
    if (!inEntryFolder(inner, place->comparable)) continue;
    const auto copy = std::find_if(plan.items.begin(), plan.items.end(), [&](const auto& item) {
      return item.step == PlannedItem::Step::CopyFile && comparable(item.source) == inner;
    });
    *path = copy != plan.items.end() ? place->written + copy->target : std::string();
  }
  return working;
}

}  // namespace vesk
