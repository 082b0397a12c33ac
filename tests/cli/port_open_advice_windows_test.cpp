// The extra line that says why a COM port could not be opened, from the
// error codes Windows gives.

#include <windows.h>

#include <gtest/gtest.h>

#include "frontend/port_open_advice.h"

namespace kelvry::cli {
namespace {

TEST(PortOpenAdviceWindows, SaysWhatToDoForEachErrorCode) {
  struct TCase {
    DWORD error;
    TPortOpenProblem problem;
    const char* mustSay;
  };
  const TCase cases[] = {
      {0, TPortOpenProblem::Unknown, "could not be opened; it may have been busy"},
      {ERROR_FILE_NOT_FOUND, TPortOpenProblem::Missing, "does not exist"},
      {ERROR_PATH_NOT_FOUND, TPortOpenProblem::Missing, "does not exist"},
      // Windows answers a second opener of a COM port with "access denied".
      {ERROR_ACCESS_DENIED, TPortOpenProblem::Busy, "another program holds it"},
      {ERROR_SHARING_VIOLATION, TPortOpenProblem::Busy, "another program holds it"},
      {ERROR_INVALID_PARAMETER, TPortOpenProblem::NotASerialPort, "is not a serial port"},
      {ERROR_GEN_FAILURE, TPortOpenProblem::Other, "cannot be opened (CreateFileW: "},
  };
  for (const TCase& c : cases) {
    const TPortOpenError error{"CreateFileW", static_cast<int>(c.error), "the system's words"};
    EXPECT_EQ(portOpenProblem(error), c.problem) << c.error;
    const std::string advice = portOpenAdvice("COM7", error);
    EXPECT_NE(advice.find("\"COM7\""), std::string::npos) << advice;
    EXPECT_NE(advice.find(c.mustSay), std::string::npos) << advice;
    EXPECT_EQ(advice.find("dialout"), std::string::npos) << advice;
  }
}

}  // namespace
}  // namespace kelvry::cli
