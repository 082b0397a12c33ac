#pragma once

#include <string>
#include <string_view>

// SHA-256 for the records, so that the image a logger got can be checked
// against the one that was meant, and a server's queue file is named without
// showing the server: the platform's own implementation (OpenSSL's libcrypto
// on Linux, CNG on Windows).

namespace kelvry {

// The digest of `bytes` as 64 lower-case hex digits.
std::string sha256Hex(std::string_view bytes);

}  // namespace kelvry
