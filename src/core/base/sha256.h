#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vesk {

// A SHA-256 digest, the 32 bytes of FIPS 180-4.
using Sha256Digest = std::array<unsigned char, 32>;

// An incremental SHA-256 from the platform's well-kept implementation (libgcrypt; the
// system's CNG on Windows). Feed bytes in any pieces, then take the digest once.
// Move-only; never throws.
class Sha256 {
 public:
  // A hasher from the library; one the library could not open (no such algorithm, no
  // memory) takes bytes without effect and gives no digest.
  Sha256();
  // A hasher that gives no digest, as one the library could not open: for tests of
  // what an operation does when it cannot hash.
  static Sha256 unavailable();
  ~Sha256();
  Sha256(Sha256&& other) noexcept;
  Sha256& operator=(Sha256&& other) noexcept;
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void update(std::string_view bytes);
  void update(const void* data, std::size_t size);
  // The digest of everything fed so far; nothing when the library could not hash
  // (never a made-up digest), which fails the operation that needed it. Call once;
  // the hasher is spent afterwards.
  std::optional<Sha256Digest> finish();

 private:
  struct Unavailable {};
  explicit Sha256(Unavailable) {}

  void* state_ = nullptr;
};

// The digest of `bytes` in one go; nothing when the library could not hash.
std::optional<Sha256Digest> sha256Of(std::string_view bytes);

// The digest as 64 lower-case hexadecimal digits, as sha256sum prints it.
std::string hexText(const Sha256Digest& digest);

}  // namespace vesk
