#include <sys/resource.h>

#include <csignal>

#include "file_size_limit.h"

namespace kelvry::test {

bool limitFileSize(unsigned long long bytes) {
  // Writes past the limit then fail with EFBIG instead of killing the
  // process.
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit fileSize{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
  return setrlimit(RLIMIT_FSIZE, &fileSize) == 0;
}

}  // namespace kelvry::test
