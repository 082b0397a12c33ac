#include "tests/engine/missing_port.h"

#include <cerrno>

namespace kelvry::test {

TMissingPort missingPort() { return {"/dev/kelvry-no-such-port", "open", ENOENT}; }

}  // namespace kelvry::test
