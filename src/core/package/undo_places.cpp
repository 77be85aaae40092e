#include "package/undo_places.h"

#include <utility>

#include "base/path_terms.h"

namespace vesk {

namespace {

// True when `path` is `prefix` or lies inside it.
bool startsWithPlace(const std::string& path, const std::string& prefix) {
  return !prefix.empty() && path.compare(0, prefix.size(), prefix) == 0 &&
         (path.size() == prefix.size() || isPathSeparator(path[prefix.size()]));
}

}  // namespace

UndoPlaces::UndoPlaces(std::string destination, std::map<std::string, std::string> places)
    : destination_(std::move(destination)), places_(std::move(places)) {}

std::string UndoPlaces::now(const std::string& path) const {
  for (const auto& [name, now] : places_) {
    const std::string after = joinPath(destination_, name);
    if (startsWithPlace(path, after)) return now + path.substr(after.size());
  }
  return path;
}

std::string UndoPlaces::afterUndo(const std::string& path) const {
  for (const auto& [name, now] : places_) {
    if (startsWithPlace(path, now)) return joinPath(destination_, name) + path.substr(now.size());
  }
  return path;
}

}  // namespace vesk
