#include "workload.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "scene_text.h"

namespace vesk::bench {
namespace fs = std::filesystem;
namespace {

// Writes a file in one go from a generator that fills successive chunks.
class FileWriter {
 public:
  explicit FileWriter(const fs::path& path)
      : path_(path), fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) {
    if (fd_ < 0) fail("cannot create");
  }
  ~FileWriter() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  void write(const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t n = ::write(fd_, p, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) fail("cannot write");
      p += n;
      size -= static_cast<std::size_t>(n);
    }
  }
  void close() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail("cannot close");
  }

 private:
  [[noreturn]] void fail(const char* what) const {
    throw std::runtime_error(std::string(what) + " " + path_.string() + ": " +
                             std::strerror(errno));
  }
  fs::path path_;
  int fd_;
};

void writeText(const fs::path& path, const std::string& text) {
  FileWriter file(path);
  file.write(text.data(), text.size());
  file.close();
}

// Real, incompressible bytes (xorshift64), distinct for every seed, so that a copy
// moves every byte and no file system can share or skip them.
void writeRandom(const fs::path& path, std::uint64_t size, std::uint64_t seed) {
  static std::vector<std::uint64_t> chunk(kMiB / sizeof(std::uint64_t));
  std::uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
  FileWriter file(path);
  while (size > 0) {
    for (auto& word : chunk) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      word = state;
    }
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, kMiB));
    file.write(chunk.data(), n);
    size -= n;
  }
  file.close();
}

std::string numbered(const char* format, int n) {
  char name[64];
  std::snprintf(name, sizeof name, format, n);
  return name;
}

// Creates the entry folder with its pictures and scene, and records the entry.
fs::path addEntry(Workload& w, int index, const std::string& scene, const fs::path& thumbnail,
                  const fs::path& description) {
  const fs::path folder = w.root / numbered("e%02d", index);
  fs::create_directory(folder);
  const fs::path scenePath = folder / "scene.nuv";
  const fs::path thumbPath = folder / ("thumb" + thumbnail.extension().string());
  const fs::path descPath = folder / ("desc" + description.extension().string());
  writeText(scenePath, scene);
  fs::copy_file(thumbnail, thumbPath);
  fs::copy_file(description, descPath);
  w.entries.push_back({scenePath.string(), thumbPath.string(), descPath.string()});
  w.entryFolders.push_back(folder);
  w.files += 3;
  w.bytes += scene.size() + fs::file_size(thumbnail) + fs::file_size(description);
  return folder;
}

Workload startWorkload(const fs::path& root) {
  if (!fs::create_directory(root)) throw std::runtime_error("exists already: " + root.string());
  return Workload{root, {}, {}, 0, 0, 0};
}

}  // namespace

Workload makeDataHeavy(const fs::path& root, const DataHeavyShape& shape, const fs::path& thumbnail,
                       const fs::path& description) {
  Workload w = startWorkload(root);
  std::vector<std::string> dataPaths;
  for (int k = 0; k < shape.dataFiles; ++k) dataPaths.push_back(numbered("volume%d.raw", k));
  dataPaths.push_back("slices\\");
  const std::string scene = sceneText({dataPaths, 2, 0});

  const std::uint64_t perFile = shape.dataFiles > 0 ? shape.dataBytes / shape.dataFiles : 0;
  std::uint64_t seed = 1;
  for (int e = 0; e < shape.entries; ++e) {
    const fs::path folder = addEntry(w, e, scene, thumbnail, description);
    for (int k = 0; k < shape.dataFiles; ++k) {
      writeRandom(folder / dataPaths[static_cast<std::size_t>(k)], perFile, seed++);
    }
    const fs::path slices = folder / "slices";
    fs::create_directory(slices);
    for (int k = 0; k < shape.folderFiles; ++k) {
      writeRandom(slices / numbered("s%04d.dcm", k), shape.folderFileBytes, seed++);
    }
    w.files += static_cast<std::uint64_t>(shape.dataFiles + shape.folderFiles);
    w.bytes += perFile * static_cast<std::uint64_t>(shape.dataFiles) +
               shape.folderFileBytes * static_cast<std::uint64_t>(shape.folderFiles);
  }
  return w;
}

Workload makeSceneHeavy(const fs::path& root, const SceneHeavyShape& shape,
                        const fs::path& thumbnail, const fs::path& description) {
  Workload w = startWorkload(root);
  std::vector<std::string> dataPaths;
  for (int k = 0; k < shape.dataElements; ++k) dataPaths.push_back(numbered("part%03d.obj", k));
  std::string scene = sceneText({dataPaths, shape.drawGroups, shape.sceneBytes});
  if (shape.oneLine) {
    // The line breaks become blanks, so that the size stays.
    for (char& c : scene) {
      if (c == '\r' || c == '\n') c = ' ';
    }
  }

  for (int e = 0; e < shape.entries; ++e) {
    w.sceneBytes += scene.size();
    const fs::path folder = addEntry(w, e, scene, thumbnail, description);
    for (int k = 0; k < shape.dataElements; ++k) {
      const std::string bytes = numbered("v %d 0 0\n", k);
      writeText(folder / dataPaths[static_cast<std::size_t>(k)], bytes);
      w.bytes += bytes.size();
    }
    w.files += static_cast<std::uint64_t>(shape.dataElements);
  }
  return w;
}

}  // namespace vesk::bench
