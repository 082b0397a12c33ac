#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

#include "records/record_origin.h"

namespace kelvry {

std::string stationName() {
  std::array<char, 256> name{};
  if (::gethostname(name.data(), name.size() - 1) != 0) return {};
  return name.data();
}

std::string operatingUserName() {
  if (const passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_name) return entry->pw_name;
  if (const char* user = std::getenv("USER"); user) return user;
  return {};
}

}  // namespace kelvry
