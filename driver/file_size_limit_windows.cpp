#include "driver/file_size_limit.h"

namespace kelvry {

// Windows has no file-size limit signal: a write past a quota simply fails.
void keepRunningPastFileSizeLimit() {}

}  // namespace kelvry
