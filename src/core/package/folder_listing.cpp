#include "package/folder_listing.h"

#include <algorithm>

#include "base/file_system.h"
#include "base/utf8.h"

namespace vesk {
namespace {

// The UTF-16 code units of the character at `pos`, as (first, second); second is 0
// for a character of one unit. A byte that starts no UTF-8 character counts as one
// unit of its own value. Returns the number of bytes taken.
std::size_t unitsAt(std::string_view text, std::size_t pos, char16_t& first, char16_t& second) {
  const Utf8Char c = decodeUtf8At(text, pos);
  second = 0;
  if (c.length == 0) {
    first = static_cast<unsigned char>(text[pos]);
    return 1;
  }
  if (c.value < 0x10000) {
    first = static_cast<char16_t>(c.value);
  } else {
    first = static_cast<char16_t>(0xD800 + ((c.value - 0x10000) >> 10));
    second = static_cast<char16_t>(0xDC00 + ((c.value - 0x10000) & 0x3FF));
  }
  return c.length;
}

}  // namespace

bool utf16Less(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    // Equal ASCII bytes are equal units; most of two paths is a shared folder part.
    if (a[i] == b[j] && static_cast<unsigned char>(a[i]) < 0x80) {
      ++i, ++j;
      continue;
    }
    char16_t a1, a2, b1, b2;
    i += unitsAt(a, i, a1, a2);
    j += unitsAt(b, j, b1, b2);
    if (a1 != b1) return a1 < b1;
    // A character of one unit against a surrogate pair cannot share the first unit.
    if (a2 != b2) return a2 < b2;
  }
  if (i < a.size() || j < b.size()) return j < b.size();
  // Equal units from different bytes (a stray byte against the character of the same
  // value): the bytes decide, so that the order stays total.
  return a < b;
}

Status listFolderFiles(const std::string& pattern, std::vector<std::string>& files) {
  Result<std::vector<std::string>> listed = findMatching(pattern);
  if (!listed) return listed.failure();
  std::vector<std::string>& found = *listed;
  if (found.empty()) return {};
  files.insert(files.end(), std::make_move_iterator(found.begin()),
               std::make_move_iterator(found.end()));
  std::sort(files.begin(), files.end(),
            [](const std::string& a, const std::string& b) { return utf16Less(a, b); });
  return {};
}

}  // namespace vesk
