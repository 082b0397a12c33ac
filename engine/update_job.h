#pragma once

#include "engine/comm_thread.h"
#include "firmware/bl3_file_header.h"
#include "firmware/hex_codec.h"

namespace kelvry {

// The update job: identifies the logger, brings it into its bootloader,
// reads its identity data, picks the matching firmware, erases, programs
// every line with read-back (the vector table last), restarts the logger and
// confirms its class.
class TBrisolcCommThread : public TCommThread {
public:
  using TCommThread::TCommThread;

protected:
  void doJob() override;

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
  void programSource(int32_t n);
  void programLine(const std::string& line, int32_t lineIndexOnError);
  void sendBootloaderCommand(uint8_t command, uint8_t n);
  void restartAndConfirmClass();

  THexCodec FHex;  // the codec's working record and line, owned by this job
  TBl3FileHeader FHeader;  // header of the matched source
};

// Byte address of the update-ID block in the logger for a platform (0 when
// the platform has none); the bootloader addresses it in 64-byte blocks.
uint16_t upidBlockAddress(uint16_t platform);

}  // namespace kelvry
