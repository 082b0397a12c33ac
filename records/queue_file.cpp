#include "records/queue_file.h"

#include "records/password_mask.h"

namespace kelvry {

std::filesystem::path queueFilePath(const std::filesystem::path& folder, const std::string& address) {
  return folder / ("queue-" + sha256Text(maskedConnection(address)).substr(0, 16) + ".sqlite");
}

}  // namespace kelvry
