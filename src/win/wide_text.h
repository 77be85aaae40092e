#pragma once

#include <string>
#include <string_view>

namespace vesk::win {

// UTF-8 text of the core to the UTF-16 text of the Windows API and back.
std::wstring toWide(std::string_view text);
std::string toUtf8(std::wstring_view wide);

}  // namespace vesk::win
