#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "records/record_store.h"
#include "records/store_location.h"

// The store a location names (store_location.h), opened and checked: a
// file that is refused or a server that refuses throws here, before a
// front end touches any logger.

namespace kelvry {

struct TStoreOptions {
  // Where a server's queue waits; the user's data folder unless a test or a
  // packager says otherwise.
  std::filesystem::path queueFolder;
  // How long a server has to answer at opening before records just queue.
  std::chrono::milliseconds firstContact{3000};
};

// Throws TRecordStoreError (TRecordStoreRefusal for a store that answered
// and is not to be written).
std::unique_ptr<IRecordStore> openRecordStore(const std::string& location, const TStoreOptions& options = {});

}  // namespace kelvry
