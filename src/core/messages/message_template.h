#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vesk {

// Placeholder names and their values, for a text whose values are gathered in steps.
using TemplateValues = std::vector<std::pair<std::string_view, std::string_view>>;

namespace detail {

template <typename Values>
std::string fillTemplate(std::string_view text, const Values& values) {
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

}  // namespace detail

// A whole-sentence text with every "{name}" replaced by its value; a placeholder
// without a value stays as it is. Values are inserted unchanged, never scanned again.
inline std::string fillTemplate(
    std::string_view text,
    std::initializer_list<std::pair<std::string_view, std::string_view>> values) {
  return detail::fillTemplate(text, values);
}
inline std::string fillTemplate(std::string_view text, const TemplateValues& values) {
  return detail::fillTemplate(text, values);
}

}  // namespace vesk
