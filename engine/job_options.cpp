#include "engine/job_options.h"

namespace kelvry {

std::atomic<bool> bCheckClass{true};
std::atomic<bool> bCheckFirmware{true};
std::atomic<bool> bCheckInfo{true};
std::atomic<bool> bReadInfoOnly{false};

void resetJobOptions() {
  bCheckClass = true;
  bCheckFirmware = true;
  bCheckInfo = true;
  bReadInfoOnly = false;
}

}  // namespace kelvry
