#include "cli/platform_words.h"

namespace kelvry::cli::words {

const char* const kPortExample = "/dev/ttyUSB0";
const char* const kVirtualLogger = "a virtual logger on a pseudo-terminal";
const char* const kCancelRequests = "Ctrl-C, SIGTERM, SIGHUP, SIGQUIT";
const char* const kPortsParagraph =
    "Ports:\n"
    "  A USB serial adapter is /dev/ttyUSB0, /dev/ttyACM0, ...; --list-ports shows\n"
    "  each with its USB vendor and product id, maker, product and serial number.\n";

}  // namespace kelvry::cli::words
