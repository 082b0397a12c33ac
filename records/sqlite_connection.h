#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "records/sql_values.h"

struct sqlite3;

// One open SQLite file with the few calls the records need, every value
// bound as a parameter, every failure a TRecordStoreError that names the
// file and says whether it is damaged or full.

namespace kelvry {

class TSqliteConnection {
 public:
  // Opens an existing file for reading and writing; waits up to
  // `busyTimeout` for another process's write.
  TSqliteConnection(const std::filesystem::path& path, int busyTimeoutMs);
  ~TSqliteConnection();
  TSqliteConnection(const TSqliteConnection&) = delete;
  TSqliteConnection& operator=(const TSqliteConnection&) = delete;

  // Statements without parameters (schema steps, pragmas, BEGIN/COMMIT).
  void execute(std::string_view sql);
  void run(const std::string& sql, const std::vector<TSqlValue>& parameters);
  // Every row's columns as text.
  std::vector<std::vector<std::string>> rows(const std::string& sql, const std::vector<TSqlValue>& parameters = {});
  int64_t number(const std::string& sql);

  // A failure with the file's name, for what the caller found itself.
  [[noreturn]] void fail(const std::string& what) const;
  // The same, for a file that is not to be written at all.
  [[noreturn]] void refuse(const std::string& why) const;

 private:
  [[noreturn]] void failWithCode(int code) const;

  std::string path_;
  sqlite3* db_ = nullptr;
};

}  // namespace kelvry
