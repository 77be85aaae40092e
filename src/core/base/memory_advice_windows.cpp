#include "base/memory_advice.h"

namespace vesk {

// Large pages need a privilege that a desktop user seldom holds: no advice.
void adviseLargePages(char*, std::size_t) {}

}  // namespace vesk
