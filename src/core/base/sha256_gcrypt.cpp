#include <gcrypt.h>

#include <cstring>
#include <utility>

#include "base/sha256.h"

namespace vesk {

namespace {

// libgcrypt wants its version checked once before the first use; only hashing is used,
// so no secure memory is set up.
void initialiseOnce() {
  static const bool initialised = [] {
    gcry_check_version(nullptr);
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    return true;
  }();
  (void)initialised;
}

gcry_md_hd_t handle(void* state) {
  return static_cast<gcry_md_hd_t>(state);
}

}  // namespace

Sha256::Sha256() {
  initialiseOnce();
  gcry_md_hd_t hd = nullptr;
  // Opening a digest only fails when the algorithm is missing or memory is exhausted;
  // a hasher without a handle gives no digest.
  if (gcry_md_open(&hd, GCRY_MD_SHA256, 0) == 0) state_ = hd;
}

Sha256::~Sha256() {
  if (state_ != nullptr) gcry_md_close(handle(state_));
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
  if (state_ != nullptr && size > 0) gcry_md_write(handle(state_), data, size);
}

std::optional<Sha256Digest> Sha256::finish() {
  if (state_ == nullptr) return std::nullopt;
  std::optional<Sha256Digest> digest;
  if (const unsigned char* result = gcry_md_read(handle(state_), GCRY_MD_SHA256)) {
    digest.emplace();
    std::memcpy(digest->data(), result, digest->size());
  }
  gcry_md_close(handle(state_));
  state_ = nullptr;
  return digest;
}

}  // namespace vesk
