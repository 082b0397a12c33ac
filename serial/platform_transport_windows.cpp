#include "serial/platform_transport.h"
#include "serial/transport_win32.h"

namespace kelvry {

std::unique_ptr<ISerialTransport> makePlatformTransport(const TCancelToken& cancel) {
  return std::make_unique<TWin32SerialTransport>(cancel);
}

}  // namespace kelvry
