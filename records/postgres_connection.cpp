#include "records/postgres_connection.h"

#include <libpq-fe.h>

#include <array>
#include <memory>

#include "records/password_mask.h"
#include "records/record_store_error.h"

namespace kelvry {

namespace {

struct TResultDeleter {
  void operator()(PGresult* result) const { PQclear(result); }
};
using TResult = std::unique_ptr<PGresult, TResultDeleter>;

// libpq's messages end in a line break and may span lines: one line here.
std::string oneLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text;
}

// A server that does not answer must not hold a delivery for minutes: ten
// seconds unless the address names its own connect_timeout, which, coming
// later, wins.
constexpr const char* kDefaultConnectTimeout = "10";

}  // namespace

TPostgresConnection::TPostgresConnection(const std::string& address) : address_(address) {
  const std::array<const char*, 3> keywords = {"connect_timeout", "dbname", nullptr};
  const std::array<const char*, 3> values = {kDefaultConnectTimeout, address_.c_str(), nullptr};
  connection_ = PQconnectdbParams(keywords.data(), values.data(), 1);
  if (!connection_) fail("cannot be reached: out of memory");
  if (PQstatus(connection_) != CONNECTION_OK) {
    const std::string message = PQerrorMessage(connection_);
    PQfinish(connection_);
    connection_ = nullptr;
    fail("cannot be reached: " + oneLine(message));
  }
  cancel_ = PQgetCancel(connection_);
}

TPostgresConnection::~TPostgresConnection() {
  if (cancel_) PQfreeCancel(cancel_);
  PQfinish(connection_);
}

void TPostgresConnection::fail(const std::string& what) const {
  throw TRecordStoreError(maskedMessage("The records server " + maskedConnection(address_) + " " + what + ".",
                                        address_));
}

void TPostgresConnection::refuse(const std::string& why) const {
  throw TRecordStoreRefusal(
      maskedMessage("The records server " + maskedConnection(address_) + " is refused: " + why + ".", address_));
}

void TPostgresConnection::execute(const std::string& sql) {
  const TResult result(PQexec(connection_, sql.c_str()));
  const auto status = PQresultStatus(result.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
    fail("failed: " + oneLine(PQerrorMessage(connection_)));
}

std::vector<std::vector<std::string>> TPostgresConnection::rows(const std::string& sql,
                                                                const std::vector<TSqlValue>& parameters) {
  std::vector<std::string> texts;
  for (const auto& parameter : parameters)
    texts.push_back(std::holds_alternative<int64_t>(parameter) ? std::to_string(std::get<int64_t>(parameter))
                                                               : std::get<std::string>(parameter));
  std::vector<const char*> values;
  for (const auto& text : texts) values.push_back(text.c_str());
  const TResult result(PQexecParams(connection_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                                    values.data(), nullptr, nullptr, 0));
  const auto status = PQresultStatus(result.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
    fail("failed: " + oneLine(PQerrorMessage(connection_)));
  std::vector<std::vector<std::string>> table;
  for (int row = 0; row < PQntuples(result.get()); ++row) {
    std::vector<std::string> fields;
    for (int column = 0; column < PQnfields(result.get()); ++column)
      fields.emplace_back(PQgetvalue(result.get(), row, column),
                          static_cast<size_t>(PQgetlength(result.get(), row, column)));
    table.push_back(std::move(fields));
  }
  return table;
}

void TPostgresConnection::cancel() {
  if (!cancel_) return;
  std::array<char, 256> error{};
  PQcancel(cancel_, error.data(), static_cast<int>(error.size()));
}

}  // namespace kelvry
