#include "serial/usb_port_identity.h"

namespace kelvry {

std::string usbIdentitySummary(const TUsbPortIdentity& identity) {
  std::string text;
  const auto addWord = [&text](const std::string& word) {
    if (word.empty()) return;
    if (!text.empty()) text += ' ';
    text += word;
  };
  if (!identity.vendorId.empty()) addWord(identity.vendorId + ":" + identity.productId);
  addWord(identity.manufacturer);
  addWord(identity.product);
  if (!identity.serialNumber.empty()) {
    text += text.empty() ? "serial " : ", serial ";
    text += identity.serialNumber;
  }
  return text;
}

}  // namespace kelvry
