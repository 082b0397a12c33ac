#include "records/store_location.h"

namespace kelvry {

TStoreLocation parseStoreLocation(std::string_view given) {
  if (given.starts_with("postgresql://") || given.starts_with("postgres://"))
    return {TStoreEngine::PostgreSQL, std::string(given)};
  if (given == kDefaultStoreName)
    return {TStoreEngine::SQLite, (userDataFolder() / kDefaultStoreFile).string()};
  return {TStoreEngine::SQLite, std::string(given)};
}

}  // namespace kelvry
