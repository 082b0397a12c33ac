#include "records/queue_file.h"

#include "records/password_mask.h"
#include "records/sha256.h"

namespace kelvry {

std::filesystem::path queueFilePath(const std::filesystem::path& folder, const std::string& address) {
  return folder / ("queue-" + sha256Hex(maskedConnection(address)).substr(0, 16) + ".sqlite");
}

}  // namespace kelvry
