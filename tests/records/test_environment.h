#pragma once

#include <cstdlib>
#include <string>

// Sets and clears the process's environment variables that libpq reads
// (PGPASSFILE, PGSERVICEFILE), as the C runtime of each platform offers it.

namespace kelvry::test {

inline void setEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  ::setenv(name, value.c_str(), 1);
#endif
}

inline void clearEnvironment(const char* name) {
#ifdef _WIN32
  _putenv_s(name, "");  // an empty value removes the variable there
#else
  ::unsetenv(name);
#endif
}

}  // namespace kelvry::test
