#include "ui/bench/bench_records.h"

#include <cctype>

#include "kelvry_version.h"
#include "records/open_record_store.h"
#include "records/record_origin.h"

namespace kelvry {

namespace {

// The window stands still while a server takes the queued records, so it
// waits only briefly; the rest goes with the next run.
constexpr std::chrono::seconds kDeliveryWait{2};

}  // namespace

TBenchRecords::TBenchRecords(const std::string& location)
    : writer_(openRecordStore(location)),
      recorder_(TRecordContext{stationName(), operatingUserName(), KELVRY_VERSION, std::string()}, writer_) {}

std::vector<std::string> TBenchRecords::finish() {
  writer_.close(kDeliveryWait);
  std::vector<std::string> problems;
  for (const TRecordWriteFailure& failure : writer_.failures()) {
    std::string text = failureText(failure);
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    problems.push_back(text + ".");
  }
  if (const std::string waiting = writer_.waitingText(); !waiting.empty()) problems.push_back(waiting + ".");
  return problems;
}

}  // namespace kelvry
