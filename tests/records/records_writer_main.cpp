// A second program writing records, so that the tests can run two writers
// at once against one store, and one under a small file size limit:
//   kelvry_records_writer <location> <count> <tag> <queue folder> [<file size limit in bytes>]
// Exits 0 when every record was written, 3 with the store's message on a
// store error, 5 when the platform has no file size limit.

#include <iostream>
#include <string>

#include "records/open_record_store.h"
#include "records/record_store_error.h"
#include "file_size_limit.h"
#include "sample_records.h"

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  const bool limited = argc > 5;
  if (limited && !kelvry::test::limitFileSize(std::stoull(argv[5]))) return 5;
  try {
    kelvry::TStoreOptions options;
    options.queueFolder = argv[4];
    auto store = kelvry::openRecordStore(argv[1], options);
    const int count = std::stoi(argv[2]);
    for (int i = 0; i < count; ++i) {
      auto record = kelvry::test::fullRecord(std::string(argv[3]) + "-" + std::to_string(i));
      record.report.assign(limited ? 200 : 3, std::string(200, 'r'));
      store->add(record);
    }
    store->close(std::chrono::seconds(60));
    return store->pending() == 0 ? 0 : 4;
  } catch (const kelvry::TRecordStoreError& error) {
    std::cerr << error.what() << '\n';
    return 3;
  }
}
