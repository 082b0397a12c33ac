#pragma once

#include <string>
#include <vector>

#include <QComboBox>

#include "serial/port_list.h"

// The items of the window's port box: one per port, with the port's USB
// identity (ids, maker, product, serial number) as its tooltip, so that the
// logger can be told from other adapters plugged in.

namespace kelvry {

// Replaces the box's items with the ports, in their order.
void fillPortItems(QComboBox& box, const std::vector<std::string>& ports, const TPortListRoots& roots);

}  // namespace kelvry
