#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "driver/port_source.h"
#include "driver/simulated_logger.h"
#include "engine/update_request.h"
#include "firmware/firmware_sources.h"

// --bench --simulate N: a bench without hardware. N virtual loggers are
// plugged in one after another, a few seconds apart, and each is unplugged
// as soon as its job has ended, as a technician would.

namespace kelvry {

// The most virtual loggers one run plugs in.
inline constexpr int kMaxSimulated = 64;

class TSimulatedBench final : public IPortSource {
public:
  static constexpr std::chrono::seconds kPlugEvery{3};

  TSimulatedBench(int loggers, const TFirmwareSources& sources, std::chrono::milliseconds plugEvery = kPlugEvery);

  std::vector<TUsbPortIdentity> present() override;
  void jobEnded(const std::string& port) override;

  // Where the jobs of the logger at `port` find it.
  TJobEnvironment environmentFor(const std::string& port);

private:
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  const std::chrono::milliseconds plugEvery_;
  std::mutex mutex_;
  // Kept until the bench ends, so that a job can never outlive its logger.
  std::vector<std::unique_ptr<TSimulatedLogger>> loggers_;
  std::set<std::string> unplugged_;
};

}  // namespace kelvry
