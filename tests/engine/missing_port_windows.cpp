#include "tests/engine/missing_port.h"

#include <windows.h>

namespace kelvry::test {

TMissingPort missingPort() { return {"COM199", "CreateFileW", ERROR_FILE_NOT_FOUND}; }

}  // namespace kelvry::test
