#include "serial/port_list.h"

namespace kelvry {

// Compared as lists: the order of the ports counts too, as the port box
// shows them in that order.
bool isPortDeviceChange(const std::vector<std::string>& before, const std::vector<std::string>& after) {
  return before != after;
}

}  // namespace kelvry
