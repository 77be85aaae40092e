#include "base/sha256.h"

namespace vesk {

Sha256 Sha256::unavailable() {
  return Sha256(Unavailable{});
}

std::optional<Sha256Digest> sha256Of(std::string_view bytes) {
  Sha256 hasher;
  hasher.update(bytes);
  return hasher.finish();
}

std::string hexText(const Sha256Digest& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(digest.size() * 2);
  for (const unsigned char byte : digest) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

}  // namespace vesk
