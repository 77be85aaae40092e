#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vesk::bench {

inline constexpr std::uint64_t kMiB = 1024 * 1024;

// One entry of a generated workload: the three paths handed to the create.
struct WorkloadEntry {
  std::string scene;
  std::string thumbnail;
  std::string description;
};

// A generated set of entries, one folder each under `root`.
struct Workload {
  std::filesystem::path root;
  std::vector<WorkloadEntry> entries;
  std::vector<std::filesystem::path> entryFolders;  // what a plain copy takes
  std::uint64_t files = 0;                          // files written
  std::uint64_t bytes = 0;                          // bytes written
  std::uint64_t sceneBytes = 0;                     // of them in scenes
};

// Data-heavy: each entry has `dataFiles` data files sharing `dataBytes` of
// pseudo-random bytes and a data folder of `folderFiles` files of `folderFileBytes`.
struct DataHeavyShape {
  int entries = 10;
  int dataFiles = 4;
  std::uint64_t dataBytes = 100 * kMiB;
  int folderFiles = 1000;
  std::uint64_t folderFileBytes = 4096;
};

// Scene-heavy: each entry has a scene of `sceneBytes` with `dataElements` data
// elements (each its own data file of a few bytes) and `drawGroups` draw groups.
// With `oneLine` the scene has no line break at all.
struct SceneHeavyShape {
  int entries = 99;
  std::uint64_t sceneBytes = 1 * kMiB;
  int dataElements = 100;
  int drawGroups = 100;
  bool oneLine = false;
};

// Writes the workload under `root` (created; must not exist). Thumbnails and
// descriptions are copies of `thumbnail` and `description`. Throws
// std::runtime_error (or std::filesystem::filesystem_error) on a write failure.
Workload makeDataHeavy(const std::filesystem::path& root, const DataHeavyShape& shape,
                       const std::filesystem::path& thumbnail,
                       const std::filesystem::path& description);
Workload makeSceneHeavy(const std::filesystem::path& root, const SceneHeavyShape& shape,
                        const std::filesystem::path& thumbnail,
                        const std::filesystem::path& description);

}  // namespace vesk::bench
