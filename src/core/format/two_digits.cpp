#include "format/two_digits.h"

#include <cassert>

namespace vesk {

std::string twoDigits(int number) {
  assert(number >= 0);
  std::string text = std::to_string(number);
  return text.size() < 2 ? "0" + text : text;
}

}  // namespace vesk
