#include "base/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace vesk {
namespace {

// The test vectors of FIPS 180-4's examples and NIST's SHA-256 test set.
TEST(Sha256, GivesTheStandardDigests) {
  struct Case {
    std::string input;
    const char* digest;
  };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(hexText(sha256Of(c.input).value()), c.digest) << c.input.substr(0, 20);
  }
}

TEST(Sha256, GivesTheSameDigestWhateverThePieces) {
  std::string input;
  for (int i = 0; i < 5000; ++i) input += static_cast<char>(i * 7 % 256);
  const std::string whole = hexText(sha256Of(input).value());
  for (const std::size_t piece : {1u, 3u, 63u, 64u, 65u, 4096u}) {
    Sha256 hasher;
    for (std::size_t at = 0; at < input.size(); at += piece) {
      hasher.update(std::string_view(input).substr(at, piece));
    }
    EXPECT_EQ(hexText(hasher.finish().value()), whole) << piece;
  }
  // A moved hasher carries on where the first stopped.
  Sha256 first;
  first.update(std::string_view(input).substr(0, 100));
  Sha256 second = std::move(first);
  second.update(std::string_view(input).substr(100));
  EXPECT_EQ(hexText(second.finish().value()), whole);
}

// A hasher the library could not open gives no digest, never one of made-up bytes.
TEST(Sha256, AHasherWithoutTheLibraryGivesNoDigest) {
  Sha256 hasher = Sha256::unavailable();
  hasher.update("abc");
  EXPECT_FALSE(hasher.finish().has_value());
  Sha256 moved = Sha256::unavailable();
  Sha256 target = std::move(moved);
  EXPECT_FALSE(target.finish().has_value());
}

}  // namespace
}  // namespace vesk
