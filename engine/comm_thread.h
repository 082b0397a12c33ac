#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "engine/comm_command.h"
#include "engine/notification_sink.h"
#include "serial/serial_port.h"

namespace kelvry {

// Set by the front end to cancel the running job; the link checks it before
// every attempt of an exchange.
extern std::atomic<bool> bCancel;

// One worker per job: owns the serial port while the job runs, wakes the
// logger, runs the job and ends with exactly one final notification (0, 10
// or 13), always posted after the port is closed.
//
// Create workers with CommThreadClass (or createCommThread<T>); the thread
// starts as soon as the object is fully built. The owner keeps the returned
// pointer while the job runs; destroying it waits for the thread, which has
// nothing left to do once its final notification is out. The join happens
// before any destructor runs, so a job's own fields outlive its thread even
// when the owner lets go of a job that still runs.
class TCommThread;

struct TCommThreadDelete {
  void operator()(TCommThread* worker) const noexcept;
};
using TCommThreadPtr = std::unique_ptr<TCommThread, TCommThreadDelete>;

class TCommThread {
public:
  static constexpr size_t kBufferSize = 1501;

  virtual ~TCommThread();
  TCommThread(const TCommThread&) = delete;
  TCommThread& operator=(const TCommThread&) = delete;

  // Blocks until the thread body has returned.
  void waitFor();

  // Why the port did not open (errno and step), for a front end that wants
  // to explain error 10. Read it only after the final notification.
  const TPortOpenError& portOpenError() const { return FPortOpenError; }

  // Stores the arguments; the thread starts only through createCommThread.
  TCommThread(INotificationSink& hWindow, TCmd cmd, std::string sPort);

protected:

  // The job. The base job does nothing.
  virtual void doJob() {}
  void runJob() { doJob(); }

  // Link: 8-byte command frames and bootloader records (see comm_link.cpp).
  bool sendFrame(bool expectReply);
  bool sendCommand(bool expectReply, uint8_t code, uint8_t p1 = 0, uint8_t p2 = 0, uint8_t p3 = 0,
                   uint8_t p4 = 0, uint8_t p5 = 0, uint8_t p6 = 0);
  bool sendRecord(const std::string& line, uint8_t n);
  bool sendRecordRetry(const std::string& line, uint8_t n, bool raiseOnFail);
  void getReplyText(std::string& text) const;
  uint16_t calculateCRC16(uint16_t upid_id, uint16_t upid_info, uint16_t upid_platform,
                          uint16_t upid_print, uint16_t upid_reserve) const;

  void setProgress(int32_t index, int32_t count);
  void resetProgress() { FnProgres = 0; }
  void closePort();
  void post(uint32_t code, int32_t value) const { FhWindow.post(code, value); }
  static void pauseMs(int milliseconds);

  TCmd FCmd;
  std::array<uint8_t, kBufferSize> FTxBuffer{};
  std::array<uint8_t, kBufferSize> FRxBuffer{};
  int32_t FRxCnt = 0;
  INotificationSink& FhWindow;
  std::string FsPort;
  TPortHandle FhPort = INVALID_PORT_HANDLE;
  int32_t FnProgres = 0;

private:
  template <class T>
  friend TCommThreadPtr createCommThread(INotificationSink&, TCmd, const std::string&);

  void start();
  void Execute();

  std::thread FThread;
  TPortOpenError FPortOpenError;
};

using TCommThreadClass = TCommThreadPtr (*)(INotificationSink& hWindow, TCmd cmd,
                                                          const std::string& sPort);

template <class T>
TCommThreadPtr createCommThread(INotificationSink& hWindow, TCmd cmd, const std::string& sPort) {
  TCommThreadPtr worker(new T(hWindow, cmd, sPort));
  worker->start();
  return worker;
}

// The class of the workers the front ends start; set once at program start.
extern TCommThreadClass CommThreadClass;

}  // namespace kelvry
