#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "firmware/bl3_file_header.h"
#include "serial/usb_port_identity.h"

// What one port's run came to, for the summary, the JSON result and the
// report file: the logger as found and as left, the firmware installed, and
// how the port's job ended.

namespace kelvry {

struct TPortRecord {
  std::string port;
  // The USB device on the port when the job started (empty fields: not a
  // USB port, or nothing said), so that four results of one port in a bench
  // tell their loggers apart.
  TUsbPortIdentity usb{};
  std::string loggerBefore;  // class and version the logger answered first with; empty: never answered
  std::string loggerAfter;   // class and version the new firmware answered with; empty: not restarted
  std::string image;         // the firmware the job chose; empty: none
  std::string imageSha256;   // the SHA-256 of its records (image_digest.h); empty: none
  std::string resultText;    // the closing message
  int exitStatus = 0;        // what a run on this port alone would exit with
  int repeats = 0;           // automatic repeats
  std::chrono::steady_clock::duration duration{};
};

// "Kelvry V2.92" from an identity answer's class and version words.
std::string loggerText(uint16_t classWord, uint16_t versionWord);

// "Kelvry V2.92 PR56": the firmware a header describes, in the summary's
// few words.
std::string imageText(const TBl3FileHeader& header);

}  // namespace kelvry
