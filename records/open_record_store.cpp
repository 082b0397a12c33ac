#include "records/open_record_store.h"

#include "records/queued_records.h"
#include "records/sqlite_records.h"

namespace kelvry {

std::unique_ptr<IRecordStore> openRecordStore(const std::string& location, const TStoreOptions& options) {
  const TStoreLocation where = parseStoreLocation(location);
  if (where.engine == TStoreEngine::SQLite) return std::make_unique<TSqliteRecords>(where.text);
  const auto folder = options.queueFolder.empty() ? userDataFolder() : options.queueFolder;
  return std::make_unique<TQueuedRecords>(where.text, folder, options.firstContact);
}

}  // namespace kelvry
