#include "package/package_layout.h"

#include "base/path_terms.h"
#include "format/two_digits.h"

namespace vesk {

std::string entryFolderName(int number) {
  return twoDigits(number);
}

bool isEntryFolderName(std::string_view name) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return name.size() == 2 && digit(name[0]) && digit(name[1]);
}

bool isDocumentName(std::string_view path) {
  return fileNameOf(path) == kDocumentName;
}

}  // namespace vesk
