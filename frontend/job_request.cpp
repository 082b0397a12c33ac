#include "frontend/job_request.h"

namespace kelvry {

TUpdateRequest jobRequest(const std::string& sPort, TCmd cmd, bool bReadInfoOnly, TFirmwareSources sources,
                          TJobChecks checks) {
  TUpdateRequest request;
  request.sPort = sPort;
  request.cmd = cmd;
  request.checks = checks;
  request.bReadInfoOnly = bReadInfoOnly;
  request.sources = std::move(sources);
  return request;
}

}  // namespace kelvry
