#pragma once

#include <fstream>
#include <map>
#include <random>
#include <stdexcept>
#include <string>

#include "records/postgres_connection.h"

// The private PostgreSQL server the test fixture started
// (scripts/postgres-test-server.sh), read from the file it wrote, and
// databases of their own for each case.

namespace kelvry::test {

struct TTestServer {
  std::string socket;
  std::string port;
  std::string user;
  std::string password;

#ifdef _WIN32
  // Windows reaches the server over TCP alone: as the test role, which may
  // create databases.
  std::string adminAddress(const std::string& database = "postgres") const {
    return "host=127.0.0.1 port=" + port + " user=" + user + " password=" + password + " dbname=" + database;
  }
#else
  // Through the folder's socket, as the server's own superuser (trust).
  std::string adminAddress(const std::string& database = "postgres") const {
    return "host=" + socket + " port=" + port + " user=postgres dbname=" + database;
  }
#endif
  // Over TCP as the test role, its password in the URI.
  std::string uri(const std::string& database) const {
    return "postgresql://" + user + ":" + password + "@127.0.0.1:" + port + "/" + database;
  }
  std::string uriWithoutPassword(const std::string& database) const {
    return "postgresql://" + user + "@127.0.0.1:" + port + "/" + database;
  }

  // A new, empty database owned by the test role; its name.
  std::string freshDatabase() const {
    std::random_device random;
    const std::string name = "records_" + std::to_string(random()) + std::to_string(random());
    TPostgresConnection(adminAddress()).execute("CREATE DATABASE " + name + " OWNER " + user);
    return name;
  }
};

inline TTestServer readTestServer(const std::string& folder) {
  std::ifstream file(folder + "/server.env");
  if (!file) throw std::runtime_error("no test server in " + folder + " (run the tests through ctest)");
  std::map<std::string, std::string> values;
  for (std::string line; std::getline(file, line);) {
    const auto equals = line.find('=');
    if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return {values["socket"], values["port"], values["user"], values["password"]};
}

inline TTestServer testServer() { return readTestServer(KELVRY_RECORDS_SERVER_DIR); }

}  // namespace kelvry::test
