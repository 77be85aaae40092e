#include "base/memory_advice.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace vesk {

void adviseLargePages([[maybe_unused]] char* data, [[maybe_unused]] std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // Transparent huge pages are 2 MiB on the usual systems; advising a range that holds
  // no whole one is harmless, so the size is not asked for.
  constexpr std::uintptr_t kLarge = std::uintptr_t{2} << 20;
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kLarge - 1) & ~(kLarge - 1);
  const std::uintptr_t last = (begin + size) & ~(kLarge - 1);
  if (first >= last) return;
  ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

}  // namespace vesk
