#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "engine/comm_thread.h"
#include "engine/status_codes.h"
#include "engine/update_job.h"
#include "firmware/firmware_sources.h"
#include "tests/support/recording_sink.h"
#include "tests/support/test_sources.h"
#include "tools/logger_sim/memory_logger.h"
#include "tools/logger_sim/virtual_clock.h"

namespace kelvry::test {

using namespace std::chrono_literals;

// Runs update jobs on a worker against a virtual logger in memory, in
// virtual time, and keeps their notifications. The request's parts carry
// the names the front ends give them.
class JobTest : public ::testing::Test {
public:
  // Collects the notifications and, when asked, cancels the job from
  // inside the job's own thread at the moment a notification is posted.
  class TJobSink : public TRecordingSink {
  public:
    void post(uint32_t code, int32_t value) noexcept override {
      TRecordingSink::post(code, value);
      if (cancelWhen && cancelWhen({code, value})) cancel->cancel();
    }
    std::function<bool(const TNotification&)> cancelWhen;
    std::shared_ptr<TCancelToken> cancel;
  };

protected:
  TUpdateRequest request(TCmd cmd = TCmd::tCMD0) const {
    TUpdateRequest r;
    r.sPort = "memory";
    r.cmd = cmd;
    r.checks = {bCheckClass, bCheckFirmware, bCheckInfo};
    r.bReadInfoOnly = bReadInfoOnly;
    if (hasFile) r.sources = TFirmwareSources(std::make_shared<const TUpdateFile>(TUpdateFile{fileHeader, fileLines}));
    r.cancel = bCancel;
    return r;
  }

  TJobEnvironment environment(sim::TMemoryLogger& logger, IClock& jobClock) {
    return {.makeTransport = [&](const TCancelToken& cancel) { return logger.connect(jobClock, cancel); },
            .clock = &jobClock};
  }

  std::vector<TNotification> runJob(sim::TMemoryLogger& logger, TCmd cmd = TCmd::tCMD0) {
    return runJob(logger, sink, cmd);
  }

  std::vector<TNotification> runJob(sim::TMemoryLogger& logger, TJobSink& into, TCmd cmd = TCmd::tCMD0) {
    into.cancel = bCancel;
    auto worker = startCommThread(into, request(cmd), environment(logger, clock));
    EXPECT_TRUE(into.waitForFinal(60s));
    worker->waitFor();
    result = worker->result();
    selectedSource = result.selectedSource;
    return into.all();
  }

  static sim::TLoggerConfig bootloaderLogger() {
    sim::TLoggerConfig config;
    config.identity.startInBootloader = true;
    return config;
  }

  // Makes the update file source hold these record lines, for the logger
  // the fourth built-in image is for.
  void useFileSource(std::vector<std::string> lines) {
    fileHeader = {};
    fileHeader.tarvo_class = 26135;
    fileHeader.tarvo_verH = 9;
    fileHeader.tarvo_verL = 1;
    fileHeader.tarvo_platform = 15;
    fileHeader.tarvo_print = 56;
    fileHeader.tarvo_bl = 3;
    fileLines = std::move(lines);
    hasFile = true;
  }

  // A small image: a few data records, the vector table among them.
  static std::vector<std::string> smallImage() {
    return {dataRecord(0x0200), dataRecord(0x0201), dataRecord(kVectorBlock), dataRecord(0x0400),
            dataRecord(0x0401), kEndOfFile};
  }

  // What the next job is started with.
  bool bCheckClass = true;
  bool bCheckFirmware = true;
  bool bCheckInfo = true;
  bool bReadInfoOnly = false;
  bool hasFile = false;
  TBl3FileHeader fileHeader;
  std::vector<std::string> fileLines;
  std::shared_ptr<TCancelToken> bCancel = std::make_shared<TCancelToken>();

  // How the last job ended.
  TJobResult result;
  int32_t selectedSource = -1;

  sim::TVirtualClock clock;
  TJobSink sink;
};

}  // namespace kelvry::test
