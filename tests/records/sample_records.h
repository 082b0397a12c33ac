#pragma once

#include <string>

#include "records/attempt_record.h"
#include "records/record_origin.h"
#include "records/utc_text.h"

// Records as a bench makes them, every field filled, for the store's tests.

namespace kelvry::test {

inline TUtcTime utc(const char* text) { return *parseUtcText(text); }

inline TAttemptRecord fullRecord(const std::string& serial = "FT9XK2A1", const std::string& started = "2026-12-10T14:05:09.123Z") {
  TAttemptRecord r;
  r.id = newRecordId();
  r.station = "bench-3";
  r.operatorName = "mara";
  r.programVersion = "1.0.0";
  r.started = utc(started.c_str());
  r.ended = r.started + std::chrono::milliseconds(61'250);
  r.port = "/dev/ttyUSB0";
  r.usb = {"0403", "6001", "FTDI", "FT232R USB UART", serial};
  r.before = {"Kelvry", "V2.88", "15", "PR56", "update 3, 2025-04-01"};
  r.image = {"Kelvry V2.92 PR56", std::string(64, 'a'), "kelvry-2.92.upd"};
  r.after = {"Kelvry", "V2.92"};
  r.status = 0;
  r.resultText = "Update finished: \"V2.92\", all lines read back, commas, too";
  r.repeats = 1;
  r.duration = std::chrono::milliseconds(61'250);
  r.report = {"Logger class: Kelvry", "Version: V2.88", "Programming line 1 of 512"};
  return r;
}

}  // namespace kelvry::test
