#pragma once

#include <string>

#include <QFile>
#include <QString>

#include "firmware/firmware_sources.h"

namespace kelvry::test {

// The header lines of an update file, in their fixed order.
struct TUpdateFileHeader {
  QString bootloader = "3";
  QString bootloaderVersion = "0";
  QString cls = "26135";
  QString versionH = "2";
  QString versionL = "92";
  QString platform = "15";
  QString print = "56";
  QString date = "04.04.2024 15:53:54";
};

// Writes an update file with the given header and the record lines of a
// built-in image.
inline void writeUpdateFile(const QString& path, const TUpdateFileHeader& h, uint32_t imageLines = 4) {
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  const QString header = "bootloader=" + h.bootloader + "\r\nbootloader version=" + h.bootloaderVersion +
                         "\r\nclass=" + h.cls + "\r\nversionH=" + h.versionH + "\r\nversionL=" + h.versionL +
                         "\r\nplatform=" + h.platform + "\r\nprint=" + h.print + "\r\ndate=" + h.date + "\r\n";
  file.write(header.toLatin1());
  const TFirmwareSources builtIn;
  const int32_t lastLine = builtIn.getFirmwareLineCount(imageLines);
  for (int32_t index = 0; index <= lastLine; ++index) {
    std::string line;
    builtIn.getFirmwareLine(imageLines, index, line);
    file.write((line + "\r\n").c_str());
  }
}

}  // namespace kelvry::test
