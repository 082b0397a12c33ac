// The extra line that says why a port could not be opened.

#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>

#include "engine/comm_thread.h"
#include "engine/status_codes.h"
#include "frontend/platform_job_environment.h"
#include "frontend/port_open_advice.h"
#include "serial/serial_port.h"
#include "serial/terminal_guard_posix.h"
#include "tests/support/recording_sink.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry::cli {
namespace {

struct TAdviceCase {
  int errorNumber;
  const char* mustSay;
};

std::ostream& operator<<(std::ostream& out, const TAdviceCase& c) { return out << "errno " << c.errorNumber; }

class PortOpenAdvice : public ::testing::TestWithParam<TAdviceCase> {};

TEST_P(PortOpenAdvice, SaysWhatToDo) {
  const std::string advice = portOpenAdvice("ttyUSB0", {"open", GetParam().errorNumber, ""});
  EXPECT_NE(advice.find("\"/dev/ttyUSB0\""), std::string::npos) << advice;
  EXPECT_NE(advice.find(GetParam().mustSay), std::string::npos) << advice;
  EXPECT_EQ(advice.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Errors, PortOpenAdvice,
                         ::testing::Values(TAdviceCase{ENOENT, "does not exist"}, TAdviceCase{ENODEV, "does not exist"},
                                           TAdviceCase{EACCES, "dialout group"}, TAdviceCase{EPERM, "dialout group"},
                                           TAdviceCase{EBUSY, "another program holds it"},
                                           TAdviceCase{EWOULDBLOCK, "another program holds it"},
                                           TAdviceCase{ENOTTY, "is not a serial port"},
                                           TAdviceCase{EIO, "cannot be opened (open: "}));

TEST(PortOpenAdviceOwnTerminal, SaysItIsTheProgramsOwnTerminal) {
  const std::string advice = portOpenAdvice("/dev/tty", {kOwnTerminalStep, EBUSY, ""});
  EXPECT_NE(advice.find("\"/dev/tty\" is the terminal this program runs in"), std::string::npos) << advice;
  EXPECT_EQ(advice.find("another program"), std::string::npos) << advice;
}

TEST(PortOpenAdvice, GivesTheExactCommandForThisUserAndAsksForANewLogin) {
  for (const int errorNumber : {EACCES, EPERM}) {
    const std::string advice = portOpenAdvice("/dev/ttyUSB0", {"open", errorNumber, ""}, "alice");
    EXPECT_NE(advice.find("\"sudo usermod -aG dialout alice\""), std::string::npos) << advice;
    EXPECT_NE(advice.find("log in again"), std::string::npos) << advice;
  }
  EXPECT_NE(portOpenAdvice("ttyUSB0", {"open", EACCES, ""}).find("dialout " + currentUserName() + "\""), std::string::npos);
  EXPECT_NE(currentUserName(), "");
}

// The advice for what the worker saw when it tried to open the port.
std::string adviceAfterWorkerFailed(const std::string& sPort) {
  test::TRecordingSink sink;
  TUpdateRequest request;
  request.sPort = sPort;
  auto worker = startCommThread(sink, request, platformJobEnvironment());
  EXPECT_TRUE(sink.waitForFinal());
  worker->waitFor();
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::PortNotReady}));
  return portOpenAdvice(sPort, worker->result().serialFailure);
}

TEST(PortOpenFailure, NamesAMissingPort) {
  const std::string advice = adviceAfterWorkerFailed("/dev/ttyKELVRYNONE");
  EXPECT_NE(advice.find("does not exist"), std::string::npos) << advice;
}

TEST(PortOpenFailure, NamesAPortHeldByAnotherProgram) {
  sim::TPtyLogger logger;
  const TPortHandle holder = openComPort(logger.portPath(), 9600);
  ASSERT_NE(holder, INVALID_PORT_HANDLE);
  const std::string advice = adviceAfterWorkerFailed(logger.portPath());
  closeComPort(holder);
  EXPECT_NE(advice.find("another program holds it"), std::string::npos) << advice;
}

}  // namespace
}  // namespace kelvry::cli
