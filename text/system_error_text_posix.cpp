#include "text/system_error_text.h"

#include <cerrno>
#include <cstring>

namespace kelvry {

std::string lastSystemErrorText() { return std::strerror(errno); }

}  // namespace kelvry
