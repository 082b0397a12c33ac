#include "frontend/job_request.h"

#include "frontend/run_options.h"

namespace kelvry {

TUpdateRequest jobRequest(const std::string& sPort, TCmd cmd, bool bReadInfoOnly, TFirmwareSources sources) {
  TUpdateRequest request;
  request.sPort = sPort;
  request.cmd = cmd;
  request.checks = jobChecks();
  request.bReadInfoOnly = bReadInfoOnly;
  request.sources = std::move(sources);
  return request;
}

}  // namespace kelvry
