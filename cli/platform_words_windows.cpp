#include "cli/platform_words.h"

namespace kelvry::cli::words {

const char* const kPortExample = "COM7";
const char* const kVirtualLogger = "a virtual logger held in memory";
const char* const kCancelRequests = "Ctrl-C, Ctrl-Break, closing the console";
const char* const kPortsParagraph =
    "Ports:\n"
    "  COM7, com7, COM7: and \\\\.\\COM7 name the same port. --list-ports shows the\n"
    "  COM ports of the device tree and of the registry's serial-port map, each\n"
    "  with its USB vendor and product id, maker, product, serial number and\n"
    "  latency timer (Device Manager, the port's Port Settings, Advanced).\n";

}  // namespace kelvry::cli::words
