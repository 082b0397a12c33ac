// A second program writing records, so that the tests can run two writers
// at once against one store, and one under a small file size limit:
//   kelvry_records_writer <location> <count> <tag> <queue folder> [<file size limit in bytes>]
// Exits 0 when every record was written, 3 with the store's message on a
// store error.

#include <sys/resource.h>

#include <csignal>
#include <iostream>
#include <string>

#include "records/open_record_store.h"
#include "records/record_store_error.h"
#include "sample_records.h"

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  const bool limited = argc > 5;
  if (limited) {
    // A full disk as a small file size limit: writes past it fail with
    // EFBIG instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlim_t limit = std::stoull(argv[5]);
    const rlimit fileSize{limit, limit};
    setrlimit(RLIMIT_FSIZE, &fileSize);
  }
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
