#include "cli/records/records_session.h"

#include <ostream>

#include "driver/exit_status.h"
#include "driver/program_name.h"
#include "kelvry_version.h"
#include "records/open_record_store.h"
#include "records/record_origin.h"
#include "records/record_store_error.h"

namespace kelvry::cli {

namespace {

// How long the end of a run waits for a server to take the queued records;
// the rest waits for the next run.
constexpr std::chrono::seconds kDeliveryWait{10};

}  // namespace

std::unique_ptr<TRecordsSession> TRecordsSession::open(const TCliOptions& options, const TStreams& io) {
  try {
    auto store = openRecordStore(options.records);
    const std::string user = options.operatorName.empty() ? operatingUserName() : options.operatorName;
    return std::make_unique<TRecordsSession>(std::move(store),
                                             TRecordContext{stationName(), user, KELVRY_VERSION, options.updateFile});
  } catch (const TRecordStoreError& error) {
    io.err << kCliPrefix << "--records: " << error.what() << '\n';
    return nullptr;
  }
}

TRecordsSession::TRecordsSession(std::unique_ptr<IRecordStore> store, TRecordContext context)
    : writer_(std::move(store)), recorder_(std::move(context), writer_) {}

int TRecordsSession::finish(int runStatus, const TStreams& io) {
  writer_.close(kDeliveryWait);
  const auto failures = writer_.failures();
  for (const auto& failure : failures) io.err << kCliPrefix << failureText(failure) << '\n';
  if (const std::string waiting = writer_.waitingText(); !waiting.empty()) io.err << kCliPrefix << waiting << '\n';
  return failures.empty() ? runStatus : kExitRecordsIncomplete;
}

}  // namespace kelvry::cli
