#include <windows.h>
// bcrypt.h needs the types of windows.h first.
#include <bcrypt.h>

#include <utility>

#include "base/sha256.h"

namespace vesk {

namespace {

// The system's SHA-256 provider, opened once for the process (CNG's providers are
// safe to share between threads).
BCRYPT_ALG_HANDLE provider() {
  static const BCRYPT_ALG_HANDLE algorithm = [] {
    BCRYPT_ALG_HANDLE opened = nullptr;
    if (BCryptOpenAlgorithmProvider(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0) {
      return BCRYPT_ALG_HANDLE{nullptr};
    }
    return opened;
  }();
  return algorithm;
}

BCRYPT_HASH_HANDLE handle(void* state) {
  return static_cast<BCRYPT_HASH_HANDLE>(state);
}

}  // namespace

Sha256::Sha256() {
  BCRYPT_HASH_HANDLE hash = nullptr;
  // A hasher without a handle gives no digest.
  if (provider() != nullptr &&
      BCryptCreateHash(provider(), &hash, nullptr, 0, nullptr, 0, 0) >= 0) {
    state_ = hash;
  }
}

Sha256::~Sha256() {
  if (state_ != nullptr) BCryptDestroyHash(handle(state_));
}

Sha256::Sha256(Sha256&& other) noexcept : state_(std::exchange(other.state_, nullptr)) {}

Sha256& Sha256::operator=(Sha256&& other) noexcept {
  std::swap(state_, other.state_);
  return *this;
}

void Sha256::update(std::string_view bytes) {
  update(bytes.data(), bytes.size());
}

void Sha256::update(const void* data, std::size_t size) {
  if (state_ == nullptr) return;
  auto* bytes = static_cast<unsigned char*>(const_cast<void*>(data));
  // BCryptHashData takes at most 4 GiB - 1 per call.
  while (size > 0) {
    const ULONG piece = size > 0x40000000u ? 0x40000000u : static_cast<ULONG>(size);
    if (BCryptHashData(handle(state_), bytes, piece, 0) < 0) {
      // The digest would leave bytes out: the hasher gives none.
      BCryptDestroyHash(handle(state_));
      state_ = nullptr;
      return;
    }
    bytes += piece;
    size -= piece;
  }
}

std::optional<Sha256Digest> Sha256::finish() {
  if (state_ == nullptr) return std::nullopt;
  std::optional<Sha256Digest> digest(Sha256Digest{});
  if (BCryptFinishHash(handle(state_), digest->data(), static_cast<ULONG>(digest->size()), 0) < 0) {
    digest.reset();
  }
  BCryptDestroyHash(handle(state_));
  state_ = nullptr;
  return digest;
}

}  // namespace vesk
