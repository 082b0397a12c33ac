#include "serial/platform_transport.h"
#include "serial/posix_transport.h"

namespace kelvry {

std::unique_ptr<ISerialTransport> makePlatformTransport(const TCancelToken& cancel) {
  return std::make_unique<TPosixSerialTransport>(cancel);
}

}  // namespace kelvry
