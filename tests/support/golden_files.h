#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vesk::test {

// The bytes of a file of a golden case; a file that cannot be opened fails the test.
inline std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// `text` cut at each `separator`; no empty part after a final separator.
inline std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

}  // namespace vesk::test
