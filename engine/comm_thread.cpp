#include "engine/comm_thread.h"

#include <algorithm>
#include <chrono>

#include "engine/checksums.h"
#include "engine/final_notification.h"
#include "engine/status_codes.h"
#include "engine/tarvo_exception.h"

namespace kelvry {

std::atomic<bool> bCancel{false};

namespace {
constexpr int32_t kBaudRate = 9600;
constexpr uint8_t kWakeUp = 255;
}  // namespace

TCommThread::TCommThread(INotificationSink& hWindow, TCmd cmd, std::string sPort)
    : FCmd(cmd), FhWindow(hWindow), FsPort(std::move(sPort)) {}

TCommThread::~TCommThread() = default;

void TCommThreadDelete::operator()(TCommThread* worker) const noexcept {
  worker->waitFor();
  delete worker;
}

void TCommThread::waitFor() {
  if (!FThread.joinable()) return;
  // A sink that dropped the worker from inside post() runs on the worker's
  // own thread: nothing of the object is used after that post, so let the
  // thread run out on its own.
  if (FThread.get_id() == std::this_thread::get_id())
    FThread.detach();
  else
    FThread.join();
}

void TCommThread::start() {
  FThread = std::thread([this] { Execute(); });
}

void TCommThread::Execute() {
  std::exception_ptr failure;
  try {
    FhPort = openComPort(FsPort, kBaudRate);
    if (FhPort == INVALID_PORT_HANDLE) {
      FPortOpenError = lastOpenError();
      throw ETarvo(err::PortNotReady);
    }
    try {
      resetProgress();
      sendCommand(false, kWakeUp);
      pauseMs(100);
      sendCommand(false, kWakeUp);
      pauseMs(100);
      runJob();
    } catch (...) {
      closePort();
      throw;
    }
    closePort();
  } catch (...) {
    failure = std::current_exception();
  }
  // The port is closed by now, so a front end may open it again as soon as
  // it sees the final notification. Nothing of this object is used after it.
  const TNotification final = finalNotification(failure, FCmd);
  failure = nullptr;
  post(final.code, final.value);
}

void TCommThread::setProgress(int32_t index, int32_t count) {
  int64_t percent = count == 0 ? 0 : int64_t{index} * 99 / count;
  percent = std::clamp<int64_t>(percent, 0, 99);
  if (percent == FnProgres) return;
  FnProgres = static_cast<int32_t>(percent);
  post(ntf::Progress, FnProgres);
}

void TCommThread::closePort() {
  if (FhPort == INVALID_PORT_HANDLE) return;
  closeComPort(FhPort);
  FhPort = INVALID_PORT_HANDLE;
}

void TCommThread::pauseMs(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

uint16_t TCommThread::calculateCRC16(uint16_t upid_id, uint16_t upid_info, uint16_t upid_platform,
                                     uint16_t upid_print, uint16_t upid_reserve) const {
  uint8_t bytes[10];
  const uint16_t words[5] = {upid_id, upid_info, upid_platform, upid_print, upid_reserve};
  for (int i = 0; i < 5; ++i) {
    bytes[2 * i] = static_cast<uint8_t>(words[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<uint8_t>(words[i] >> 8);
  }
  return crc16(bytes, sizeof bytes);
}

}  // namespace kelvry
