// The logger's line settings and time-outs in the Win32 comm API's terms.

#include <gtest/gtest.h>

#include "serial/comm_settings_win32.h"

namespace kelvry {
namespace {

TEST(CommSettingsWin32, LineStateIs8N1BinaryWithoutFlowControlAndLinesOff) {
  const DCB state = loggerLineState(9600);
  EXPECT_EQ(state.DCBlength, sizeof(DCB));
  EXPECT_EQ(state.BaudRate, 9600u);
  EXPECT_EQ(state.ByteSize, 8);
  EXPECT_EQ(state.Parity, NOPARITY);
  EXPECT_EQ(state.StopBits, ONESTOPBIT);
  EXPECT_TRUE(state.fBinary);
  EXPECT_FALSE(state.fParity);
  EXPECT_FALSE(state.fOutxCtsFlow);
  EXPECT_FALSE(state.fOutxDsrFlow);
  EXPECT_FALSE(state.fDsrSensitivity);
  EXPECT_FALSE(state.fOutX);
  EXPECT_FALSE(state.fInX);
  EXPECT_TRUE(state.fTXContinueOnXoff);
  EXPECT_FALSE(state.fErrorChar);
  EXPECT_FALSE(state.fNull);
  EXPECT_FALSE(state.fAbortOnError);
  // DTR is raised by the open as its last step; RTS stays off.
  EXPECT_EQ(state.fDtrControl, static_cast<DWORD>(DTR_CONTROL_DISABLE));
  EXPECT_EQ(state.fRtsControl, static_cast<DWORD>(RTS_CONTROL_DISABLE));
  EXPECT_EQ(state.XonLim, 0);
  EXPECT_EQ(state.XoffLim, 0);
  for (char c : {state.XonChar, state.XoffChar, state.ErrorChar, state.EofChar, state.EvtChar}) EXPECT_EQ(c, 0x20);
}

TEST(CommSettingsWin32, ReadsHaveATotalTimeOutAndNoIntervalTimeOut) {
  const COMMTIMEOUTS timeouts = loggerTimeouts();
  EXPECT_EQ(timeouts.ReadIntervalTimeout, 0u);
  EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 200u);
  EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 1u);
  EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 1u);
  EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 0u);
}

TEST(CommSettingsWin32, AReadEndsAfterTheTimeOutItAsksFor) {
  struct TCase {
    size_t count;
    int timeoutMs;
    DWORD multiplier;
    DWORD constant;
  };
  const TCase cases[] = {
      {8, 208, 1, 200},    // the link's own time-out keeps the per-byte form
      {139, 339, 1, 200},
      {8, 50, 1, 42},
      {100, 20, 0, 20},    // shorter than 1 ms per byte: a plain total
      {8, 0, 0, 1},        // never "wait forever", which both zero would mean
  };
  for (const TCase& c : cases) {
    const COMMTIMEOUTS timeouts = timeoutsForRead(c.count, std::chrono::milliseconds(c.timeoutMs));
    EXPECT_EQ(timeouts.ReadIntervalTimeout, 0u);
    EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, c.multiplier) << c.count << " bytes in " << c.timeoutMs << " ms";
    EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, c.constant) << c.count << " bytes in " << c.timeoutMs << " ms";
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 1u);
  }
}

}  // namespace
}  // namespace kelvry
