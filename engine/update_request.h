#pragma once

#include <cstdint>
#include <functional>
#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "waits/cancel_token.h"
#include "waits/clock.h"
#include "engine/comm_command.h"
#include "engine/notification_sink.h"
#include "engine/status_codes.h"
#include "firmware/firmware_sources.h"
#include "serial/transport.h"

namespace kelvry {

// The checks a developer may relax in internal mode.
struct TJobChecks {
  bool bCheckClass = true;     // update class must equal the image's class
  bool bCheckFirmware = true;  // jump to the bootloader only from class 0x6617
  bool bCheckInfo = true;      // update info must be 0xFFFE
};

// Everything one job needs, fixed when it starts. Jobs share nothing else,
// so several can run side by side.
struct TUpdateRequest {
  std::string sPort;
  TCmd cmd = TCmd::tCMD0;
  TJobChecks checks;
  bool bReadInfoOnly = false;  // stop after the selection, erase nothing
  // The built-in images, and the update file when one is attached: the file
  // is then the only candidate.
  TFirmwareSources sources;
  // Shared with the front end, which sets it to stop the job.
  std::shared_ptr<TCancelToken> cancel = std::make_shared<TCancelToken>();
};

// How a job ended.
struct TJobResult {
  TNotification final{ntf::JobDone, 0};  // the worker's final notification: 0, 10 or 13
  int32_t errorCode = 0;                 // the engine error that ended the job; 0 when none
                                         // did (final tells a foreign failure, 10 with 0)
  // Why the port did not open (error 10) or a read or write failed (11).
  TSerialFailure serialFailure;
  // The firmware line a conversion (42) or read-back (44) error is about.
  std::optional<int32_t> lineIndex;
  int32_t selectedSource = -1;           // the source the job chose; -1 none
};

// Where a job finds its serial line and its time, handed down by the front
// end: the platform's serial port (serial/platform_transport.h), or the
// virtual logger in memory with a virtual clock in tests.
struct TJobEnvironment {
  // Makes the serial line for one job, which waits on the given token.
  std::function<std::unique_ptr<ISerialTransport>(const TCancelToken&)> makeTransport;
  IClock* clock = nullptr;  // nullptr: real time
};

// Runs one job on the calling thread: opens the port, wakes the logger,
// runs the update, closes the port, and returns how it ended. Posts the
// job's notifications but not the final one, which the caller posts once
// the port is closed. `selectedSource` follows the job's choice as it is made.
TJobResult runUpdateJob(const TUpdateRequest& request, const TJobEnvironment& environment,
                        INotificationSink& sink, std::atomic<int32_t>& selectedSource);

}  // namespace kelvry
