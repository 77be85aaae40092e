#include "scratch_files.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace vesk::fuzz {

const std::string& scratchFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/vesk-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    return std::string(pattern);
  }();
  return folder;
}

std::string writeScratchFile(const std::string& name, std::string_view bytes) {
  const std::string path = scratchFolder() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
  return path;
}

}  // namespace vesk::fuzz
