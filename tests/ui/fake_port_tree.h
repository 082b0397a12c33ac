#pragma once

#include <string>
#include <utility>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "serial/port_list.h"

namespace kelvry::test {

// A sysfs and /dev tree in a temporary folder: each tty has a class entry
// whose "device" link points into the device tree, below a USB bus for the
// USB serial ports, and a device node.
class TFakePortTree {
public:
  TPortListRoots roots() const {
    return TPortListRoots{.sysClassTty = path("sys/class/tty"), .dev = path("dev")};
  }

  std::string devicePath(const QString& name) const { return path("dev/" + name); }

  void addUsbPort(const QString& name) { addPort(name, kUsbDevice + "/1-2:1.0/"); }
  void addBuiltinPort(const QString& name) { addPort(name, "sys/devices/platform/serial8250/"); }

  // The USB device above every USB port of the tree, as sysfs shows it:
  // one attribute per file.
  void setUsbDevice(const QString& vendorId, const QString& productId, const QString& manufacturer,
                    const QString& product, const QString& serial) {
    const QDir device(dir_.filePath(kUsbDevice));
    device.mkpath(".");
    for (const auto& [name, value] : {std::pair{"idVendor", vendorId}, {"idProduct", productId},
                                      {"manufacturer", manufacturer}, {"product", product}, {"serial", serial}}) {
      QFile file(device.filePath(name));
      file.open(QIODevice::WriteOnly);
      file.write((value + "\n").toUtf8());
    }
  }

  void removePort(const QString& name) {
    QFile::remove(QString::fromStdString(devicePath(name)));
    QDir(dir_.filePath("sys/class/tty/" + name)).removeRecursively();
  }

private:
  static inline const QString kUsbDevice = "sys/devices/pci0000:00/0000:00:14.0/usb1/1-2";

  std::string path(const QString& relative) const { return dir_.filePath(relative).toStdString(); }

  void addPort(const QString& name, const QString& busFolder) {
    const QDir root(dir_.path());
    const QString device = busFolder + name;
    root.mkpath(device);
    root.mkpath("sys/class/tty/" + name);
    root.mkpath("dev");
    QFile::link(root.filePath(device), root.filePath("sys/class/tty/" + name + "/device"));
    QFile node(root.filePath("dev/" + name));
    node.open(QIODevice::WriteOnly);
  }

  QTemporaryDir dir_;
};

}  // namespace kelvry::test
