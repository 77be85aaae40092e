#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace vesk {

// A whole-sentence text with every "{name}" replaced by its value; a placeholder
// without a value stays as it is. Values are inserted unchanged, never scanned again.
inline std::string fillTemplate(
    std::string_view text,
    std::initializer_list<std::pair<std::string_view, std::string_view>> values) {
  std::string filled;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t open = text.find('{', pos);
    const std::size_t close = open == std::string_view::npos ? open : text.find('}', open);
    if (close == std::string_view::npos) break;
    filled += text.substr(pos, open - pos);
    const std::string_view name = text.substr(open + 1, close - open - 1);
    bool found = false;
    for (const auto& [key, value] : values) {
      if (key == name) {
        filled += value;
        found = true;
        break;
      }
    }
    if (!found) filled += text.substr(open, close - open + 1);
    pos = close + 1;
  }
  filled += text.substr(pos);
  return filled;
}

}  // namespace vesk
