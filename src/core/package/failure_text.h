#pragma once

#include <string>

#include "base/failure.h"

namespace vesk {

// The operator's message for a failure to write a file, text encoding included:
// "エラー　Shift_JISで表せない文字があります: U+XXXX「context」" for a character code
// page 932 cannot represent, "エラー　文字コードが正しくありません" for text that is
// not UTF-8, and otherwise "エラー　<path>を書き込めませんでした: <system's reason>".
std::string writeFailureText(const Failure& failure);

// A character as the texts name it: "U+" and at least four hexadecimal digits.
std::string codePointText(char32_t character);

}  // namespace vesk
