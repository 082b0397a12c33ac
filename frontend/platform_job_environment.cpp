#include "frontend/platform_job_environment.h"

#include "serial/platform_transport.h"

namespace kelvry {

TJobEnvironment platformJobEnvironment() { return {.makeTransport = makePlatformTransport}; }

}  // namespace kelvry
