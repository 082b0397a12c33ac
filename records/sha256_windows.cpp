#include "records/sha256.h"

#include <windows.h>

#include <bcrypt.h>

#include <array>
#include <cstdio>
#include <stdexcept>

namespace kelvry {

namespace {

void check(NTSTATUS status) {
  if (status < 0) throw std::runtime_error("SHA-256 is not available");
}

}  // namespace

// The provider-and-object calls that every Windows since Vista (and Wine)
// has, rather than the newer one-call BCryptHash.
std::string sha256Hex(std::string_view bytes) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  check(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0));
  std::array<unsigned char, 32> digest{};
  BCRYPT_HASH_HANDLE hash = nullptr;
  NTSTATUS status = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0);
  // An image is far below a ULONG's length.
  if (status >= 0)
    status = BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                            static_cast<ULONG>(bytes.size()), 0);
  if (status >= 0) status = BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0);
  if (hash) BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  check(status);
  std::string hex;
  for (unsigned char byte : digest) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", byte);
    hex += pair;
  }
  return hex;
}

}  // namespace kelvry
