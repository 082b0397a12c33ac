#include "ui/bench/last_update_lookup.h"

#include <filesystem>
#include <stdexcept>

#include <QDateTime>

#include "driver/utf8_path.h"
#include "records/open_record_store.h"
#include "records/result_words.h"
#include "records/store_location.h"

namespace kelvry {

TLastUpdateLookup::TLastUpdateLookup(std::string location) : location_(std::move(location)) {
  local_ = parseStoreLocation(location_).engine == TStoreEngine::SQLite;
}

TLastUpdateLookup::~TLastUpdateLookup() = default;

IRecordStore* TLastUpdateLookup::store() {
  if (store_ || !local_) return store_.get();
  std::error_code missing;
  if (!std::filesystem::exists(utf8Path(parseStoreLocation(location_).text), missing)) return nullptr;
  store_ = openRecordStore(location_);
  return store_.get();
}

std::string TLastUpdateLookup::textFor(const std::string& serial) {
  if (serial.empty() || !local_) return {};
  try {
    IRecordStore* records = store();
    if (!records) return "-";
    THistoryFilter filter;
    filter.serial = serial;
    filter.latest = true;
    const std::vector<TAttemptRecord> latest = records->history(filter);
    return latest.empty() ? "-" : lastUpdateText(latest.front());
  } catch (const std::exception&) {
    // The store is refused at Start, where it is told; the rows stay quiet.
    store_.reset();
    return {};
  }
}

std::string lastUpdateText(const TAttemptRecord& record) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(record.started.time_since_epoch());
  std::string text = QDateTime::fromMSecsSinceEpoch(ms.count()).toLocalTime().toString("yyyy-MM-dd HH:mm").toStdString();
  const std::string with = record.image.name.empty() ? firmwareAfterAttempt(record) : record.image.name;
  if (!with.empty()) text += ", " + with;
  if (record.status != 0) text += " (" + std::string(resultWord(record.status)) + ")";
  return text;
}

}  // namespace kelvry
