#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vesk::fuzz {

// A folder of this process for the files a target writes; made on first use.
const std::string& scratchFolder();

// Writes `bytes` to scratchFolder()/name and returns the file's path.
std::string writeScratchFile(const std::string& name, std::string_view bytes);

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace vesk::fuzz
