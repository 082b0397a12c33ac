#pragma once

#include <gtest/gtest.h>

#include "engine/comm_thread.h"
#include "engine/job_options.h"
#include "engine/status_codes.h"
#include "engine/update_job.h"
#include "firmware/firmware_sources.h"
#include "tests/support/recording_sink.h"
#include "tests/support/test_sources.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry::test {

using namespace std::chrono_literals;

// Runs update jobs against a virtual logger and keeps their notifications.
class JobTest : public ::testing::Test {
protected:
  void SetUp() override {
    resetJobOptions();
    bCancel = false;
    selectedSource = -1;
    fileLines.clear();
    fileHeader = {};
  }
  void TearDown() override { SetUp(); }

  std::vector<TNotification> runJob(sim::TPtyLogger& logger, TCmd cmd = TCmd::tCMD0) {
    auto worker = CommThreadClass(sink, cmd, logger.portPath());
    EXPECT_TRUE(sink.waitForFinal(120s));
    worker.reset();
    return sink.all();
  }

  static sim::TLoggerConfig bootloaderLogger() {
    sim::TLoggerConfig config;
    config.identity.startInBootloader = true;
    return config;
  }

  // Makes the update file source hold these record lines, for the logger
  // the fourth built-in image is for.
  static void useFileSource(std::vector<std::string> lines) {
    fileHeader = {};
    fileHeader.tarvo_class = 26135;
    fileHeader.tarvo_verH = 9;
    fileHeader.tarvo_verL = 1;
    fileHeader.tarvo_platform = 15;
    fileHeader.tarvo_print = 56;
    fileHeader.tarvo_bl = 3;
    fileLines = std::move(lines);
    selectedSource = 0;
  }

  // A small image: a few data records, the vector table among them.
  static std::vector<std::string> smallImage() {
    return {dataRecord(0x0200), dataRecord(0x0201), dataRecord(kVectorBlock), dataRecord(0x0400),
            dataRecord(0x0401), kEndOfFile};
  }

  TRecordingSink sink;
};

}  // namespace kelvry::test
