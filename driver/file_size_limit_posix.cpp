#include "driver/file_size_limit.h"

#include <csignal>

namespace kelvry {

void keepRunningPastFileSizeLimit() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace kelvry
