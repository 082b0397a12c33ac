#include "cli/update/update_run.h"

#include <algorithm>
#include <exception>
#include <thread>

#include "driver/exit_status.h"
#include "serial/usb_port_identity.h"
#include "engine/status_codes.h"
#include "frontend/platform_job_environment.h"

namespace kelvry::cli {

TRunResult runPorts(const TRunSettings& settings, const std::shared_ptr<TCancelToken>& cancel, std::ostream& out,
                    std::ostream& err) {
  const std::vector<std::string>& ports = settings.output.ports;
  TRunOutputSet output(settings.output, out, err);

  TRunResult result;
  result.ports.resize(ports.size());
  {
    std::vector<std::jthread> threads;
    for (size_t i = 0; i < ports.size(); ++i) {
      TJobViewSettings job = settings.job;
      job.portText = ports[i];
      job.usb = readUsbPortIdentity(ports[i]);
      job.request.sPort = ports[i];
      const TJobEnvironment environment =
          i < settings.environments.size() ? settings.environments[i] : platformJobEnvironment();
      threads.emplace_back([&, i, job = std::move(job), environment]() mutable {
        TPortOutcome& outcome = result.ports[i];
        try {
          outcome = runPort(std::move(job), environment, i, cancel->makeChild(), output);
        } catch (const std::exception& e) {
          outcome.record.port = ports[i];
          outcome.record.exitStatus = kExitUnexpected;
          outcome.record.resultText = std::string("unexpected failure: ") + e.what();
        }
        output.finished(i, outcome.record);
      });
    }
  }  // every port released

  std::vector<TPortRecord> records;
  for (const TPortOutcome& outcome : result.ports) records.push_back(outcome.record);
  output.summary(records);
  result.exitStatus = output.recordsComplete() ? runExitStatus(result.ports, settings.job.request.bReadInfoOnly)
                                                : kExitRecordsIncomplete;
  return result;
}

}  // namespace kelvry::cli
