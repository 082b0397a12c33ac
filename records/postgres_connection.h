#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "records/sql_values.h"

struct pg_conn;
struct pg_cancel;

// One connection to a records server through libpq, every value bound as a
// parameter (PQexecParams), every failure a TRecordStoreError with the
// address and any echo of the password masked.

namespace kelvry {

class TPostgresConnection {
 public:
  // `address` goes to libpq unchanged (URI or key=value words), so its
  // password file, service file and TLS settings apply as usual.
  explicit TPostgresConnection(const std::string& address);
  ~TPostgresConnection();
  TPostgresConnection(const TPostgresConnection&) = delete;
  TPostgresConnection& operator=(const TPostgresConnection&) = delete;

  void execute(const std::string& sql);
  std::vector<std::vector<std::string>> rows(const std::string& sql, const std::vector<TSqlValue>& parameters = {});

  // Asks the server to stop what this connection runs; from any thread.
  void cancel();

  [[noreturn]] void refuse(const std::string& why) const;

 private:
  [[noreturn]] void fail(const std::string& what) const;

  std::string address_;
  pg_conn* connection_ = nullptr;
  pg_cancel* cancel_ = nullptr;  // taken at connect, so cancel() touches the connection not at all
};

}  // namespace kelvry
