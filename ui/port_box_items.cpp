#include "ui/port_box_items.h"

#include "serial/usb_port_identity.h"

namespace kelvry {

void fillPortItems(QComboBox& box, const std::vector<std::string>& ports, const TPortListRoots& roots) {
  box.clear();
  for (const std::string& port : ports) {
    box.addItem(QString::fromStdString(port));
    const std::string identity = usbIdentitySummary(readUsbPortIdentity(port, roots));
    if (!identity.empty()) box.setItemData(box.count() - 1, QString::fromStdString(identity), Qt::ToolTipRole);
  }
}

}  // namespace kelvry
