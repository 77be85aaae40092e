// Code page 932 round trip: decoding then encoding gives the bytes back (a duplicate
// code comes back as its character's one code), and those bytes decode to the same
// text again.
#include "base/cp932.h"
#include "scratch_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = vesk::fuzz::asText(data, size);
  const std::string text = vesk::decodeCp932(bytes);
  const vesk::Result<std::string> encoded = vesk::encodeCp932(text);
  if (!encoded) __builtin_trap();
  if (vesk::decodeCp932(*encoded) != text) __builtin_trap();
  if (encoded->size() != bytes.size()) __builtin_trap();
  if (vesk::decodeCp932(vesk::encodeCp932(vesk::decodeCp932(*encoded)).value_or("")) != text) {
    __builtin_trap();
  }
  // The input read as UTF-8 text without escapes: whatever encodes decodes to itself.
  if (bytes.find('\xF4') == std::string_view::npos) {
    const vesk::Result<std::string> direct = vesk::encodeCp932(bytes);
    if (direct && vesk::decodeCp932(*direct) != bytes) __builtin_trap();
  }
  return 0;
}
