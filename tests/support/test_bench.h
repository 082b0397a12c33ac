#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

#include "driver/port_source.h"
#include "tests/support/short_image.h"
#include "tools/logger_sim/pty_logger.h"

// A bench of virtual loggers on pseudo-terminals that a test plugs in and
// pulls out: each port is a fixed link name in a folder of the test's,
// pointing at a fresh pseudo-terminal while "plugged in"; pulling it removes
// the link and closes the pseudo-terminal, so the job that has it open reads
// a hang-up, as with a real adapter. Each logger runs V2.88 and holds the
// short image.

namespace kelvry::test {

// The ports of a bench that the test plugs in and pulls out.
class TTestBench final : public IPortSource {
public:
  explicit TTestBench(std::filesystem::path folder) : folder_(std::move(folder)) {}
  ~TTestBench() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // Plugs a fresh virtual logger in at `name`; returns the port's path.
  // `adjust` makes it another kind of logger.
  std::string plug(const std::string& name, const std::string& vendorId = "0403",
                   const std::function<void(sim::TLoggerConfig&)>& adjust = {}) {
    sim::TLoggerConfig config;
    config.identity.appVerL = 88;
    config.extraImages.push_back(shortImage());
    if (adjust) adjust(config);
    auto logger = std::make_unique<sim::TPtyLogger>(std::move(config));
    const std::filesystem::path link = folder_ / name;
    std::filesystem::create_symlink(logger->portPath(), link);
    const std::lock_guard lock(mutex_);
    TPlugged& plugged = plugged_[link.string()];
    plugged.logger = std::move(logger);
    plugged.identity.port = link.string();
    plugged.identity.vendorId = vendorId;
    plugged.identity.productId = "6001";
    plugged.identity.serialNumber = "SN-" + name;
    return link.string();
  }

  // Another logger on the same port name at once, faster than the bench
  // looks: only its USB identity (its serial number) tells it apart.
  void swap(const std::string& name, const std::string& serialNumber) {
    const std::string port = (folder_ / name).string();
    pull(port);
    plug(name);
    const std::lock_guard lock(mutex_);
    plugged_.at(port).identity.serialNumber = serialNumber;
  }

  // Pulls the logger out: the link goes, the pseudo-terminal closes.
  void pull(const std::string& port) {
    std::unique_ptr<sim::TPtyLogger> logger;
    {
      const std::lock_guard lock(mutex_);
      logger = std::move(plugged_.at(port).logger);
      plugged_.erase(port);
    }
    std::filesystem::remove(port);
  }

  sim::TLoggerStats stats(const std::string& port) {
    const std::lock_guard lock(mutex_);
    return plugged_.at(port).logger->stats();
  }

  std::vector<TUsbPortIdentity> present() override {
    const std::lock_guard lock(mutex_);
    std::vector<TUsbPortIdentity> ports;
    for (const auto& [name, plugged] : plugged_) ports.push_back(plugged.identity);
    return ports;
  }

  void jobEnded(const std::string& port) override {
    const std::lock_guard lock(mutex_);
    ended_.push_back(port);
  }

  int jobsEnded() {
    const std::lock_guard lock(mutex_);
    return static_cast<int>(ended_.size());
  }

private:
  struct TPlugged {
    std::unique_ptr<sim::TPtyLogger> logger;
    TUsbPortIdentity identity;
  };
  std::filesystem::path folder_;
  std::mutex mutex_;
  std::map<std::string, TPlugged> plugged_;
  std::vector<std::string> ended_;
};

}  // namespace kelvry::test
