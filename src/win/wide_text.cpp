#include "wide_text.h"

#include "base/utf8.h"

namespace vesk::win {

std::wstring toWide(std::string_view text) {
  return widen(text);
}

std::string toUtf8(std::wstring_view wide) {
  return narrow(wide);
}

}  // namespace vesk::win
