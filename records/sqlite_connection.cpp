#include "records/sqlite_connection.h"

#include <sqlite3.h>

#include <memory>

#include "records/record_store_error.h"

namespace kelvry {

namespace {

struct TStatementDeleter {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using TStatement = std::unique_ptr<sqlite3_stmt, TStatementDeleter>;

}  // namespace

TSqliteConnection::TSqliteConnection(const std::filesystem::path& path, int busyTimeoutMs) : path_(path.string()) {
  const int code = sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (code != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    sqlite3_close(db_);
    db_ = nullptr;
    throw TRecordStoreError("The records file " + path_ + " cannot be opened: " + message + ".");
  }
  sqlite3_extended_result_codes(db_, 0);
  sqlite3_busy_timeout(db_, busyTimeoutMs);
}

TSqliteConnection::~TSqliteConnection() { sqlite3_close(db_); }

void TSqliteConnection::fail(const std::string& what) const {
  throw TRecordStoreError("The records file " + path_ + " " + what + ".");
}

void TSqliteConnection::refuse(const std::string& why) const {
  throw TRecordStoreRefusal("The records file " + path_ + " is refused: " + why + ".");
}

void TSqliteConnection::failWithCode(int code) const {
  const std::string message = sqlite3_errmsg(db_);
  switch (code) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      refuse("it is damaged (" + message + ")");
    case SQLITE_FULL:
      fail("could not be written: the disk is full");
    case SQLITE_IOERR:
      fail("could not be written or read (" + message + ")");
    default:
      fail("failed: " + message);
  }
}

void TSqliteConnection::execute(std::string_view sql) {
  const std::string text(sql);
  const int code = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) failWithCode(code);
}

std::vector<std::vector<std::string>> TSqliteConnection::rows(const std::string& sql,
                                                              const std::vector<TSqlValue>& parameters) {
  sqlite3_stmt* raw = nullptr;
  if (const int code = sqlite3_prepare_v2(db_, sql.c_str(), -1, &raw, nullptr); code != SQLITE_OK)
    failWithCode(code);
  const TStatement statement(raw);
  for (size_t i = 0; i < parameters.size(); ++i) {
    const int index = static_cast<int>(i + 1);
    if (const auto* number = std::get_if<int64_t>(&parameters[i]))
      sqlite3_bind_int64(raw, index, *number);
    else {
      const auto& text = std::get<std::string>(parameters[i]);
      sqlite3_bind_text(raw, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
  }
  std::vector<std::vector<std::string>> result;
  for (;;) {
    const int code = sqlite3_step(raw);
    if (code == SQLITE_DONE) return result;
    if (code != SQLITE_ROW) failWithCode(code);
    std::vector<std::string> row;
    for (int column = 0; column < sqlite3_column_count(raw); ++column) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, column));
      row.emplace_back(text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(raw, column)))
                            : std::string());
    }
    result.push_back(std::move(row));
  }
}

void TSqliteConnection::run(const std::string& sql, const std::vector<TSqlValue>& parameters) {
  rows(sql, parameters);
}

int64_t TSqliteConnection::number(const std::string& sql) {
  const auto result = rows(sql);
  if (result.empty() || result.front().empty()) fail("gave no answer to " + sql);
  return std::stoll(result.front().front());
}

}  // namespace kelvry
