#pragma once

#include <atomic>

#include "engine/comm_link.h"
#include "engine/update_request.h"
#include "firmware/bl3_file_header.h"
#include "firmware/hex_codec.h"

namespace kelvry {

// The update job: identifies the logger, brings it into its bootloader,
// reads its identity data, picks the matching firmware, erases, programs
// every line with read-back (the vector table last), restarts the logger and
// confirms its class. It talks through the link it is given and owns all
// its state; failures are raised as ETarvo codes.
class TBrisolcCommThread {
public:
  TBrisolcCommThread(const TUpdateRequest& request, TCommLink& link, INotificationSink& sink,
                     std::atomic<int32_t>& selectedSource);

  void doJob();

  // Posts notification 1 when the percent (0 to 99) changes.
  void setProgress(int32_t index, int32_t count);
  void resetProgress() { FnProgres = 0; }

private:
  struct TLoggerData {
    uint16_t platform = 0xFFFF;
    uint16_t print = 0xFFFF;
    uint16_t info = 0;
    uint16_t updateClass = 0xFFFF;
    uint16_t updateInfo = 0xFFFF;
    uint16_t platformOverride = 0xFFFF;
    uint16_t printOverride = 0xFFFF;
  };

  void identifyAndEnterBootloader();
  uint16_t queryIdentity();
  TLoggerData readLoggerData();
  void readBootloaderRecord(uint16_t blockAddress, uint8_t command, uint8_t n);
  void reportLoggerData(const TLoggerData& data);
  void selectSource(const TLoggerData& data);
  int32_t checkLastLine();
  void checkEveryLine(int32_t n);
  void programSource(int32_t n);
  void programLine(const std::string& line, int32_t lineIndexOnError);
  void sendBootloaderCommand(uint8_t command, uint8_t n);
  void restartAndConfirmClass();
  uint16_t replyClassWord() const;
  void post(uint32_t code, int32_t value) { FSink.post(code, value); }

  const TUpdateRequest& FRequest;
  TCommLink& FLink;
  INotificationSink& FSink;
  std::atomic<int32_t>& selectedSource;
  THexCodec FHex;          // the codec's working record and line
  TBl3FileHeader FHeader;  // header of the matched source
  int32_t FnProgres = 0;
};

// Byte address of the update-ID block in the logger for a platform (0 when
// the platform has none); the bootloader addresses it in 64-byte blocks.
uint16_t upidBlockAddress(uint16_t platform);

}  // namespace kelvry
