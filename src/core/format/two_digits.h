#pragma once

#include <string>

namespace vesk {

// A number written with at least two digits, zero-padded ("%02d"): entry numbers
// and menu page numbers.
std::string twoDigits(int number);

}  // namespace vesk
