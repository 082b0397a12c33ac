#include "engine/update_job.h"

#include <algorithm>
#include <stdexcept>

#include "engine/checksums.h"
#include "engine/final_notification.h"
#include "engine/status_codes.h"
#include "engine/tarvo_exception.h"
#include "firmware/firmware_sources.h"
#include "firmware/identity_names.h"
#include "firmware/image_check.h"

namespace kelvry {

namespace {

constexpr uint8_t kCmdIdentity = 1;
constexpr uint8_t kCmdJump = 2;
constexpr uint8_t kRecReadInfo = 0x20;
constexpr uint8_t kRecReadUpid = 0x30;
constexpr uint8_t kRecErase = 0x31;
constexpr uint8_t kRecStart = 0x33;
constexpr uint16_t kBootloaderGeneration = 3;
constexpr uint16_t kUpdateInfoReady = 0xFFFE;
constexpr int kPauseBeforeStartMs = 500;
constexpr int kPauseForRestartMs = 4000;
constexpr int32_t kBaudRate = 9600;
constexpr uint8_t kWakeUp = 255;
constexpr int kWakeUpPauseMs = 100;

uint16_t littleEndian(uint8_t low, uint8_t high) { return makeWord(high, low); }

}  // namespace

uint16_t upidBlockAddress(uint16_t platform) {
  switch (platform) {
    case 1: case 2: case 4: case 5: case 6: case 7: case 9: case 10: case 0xFFFE:
      return 0x1000;
    case 12: case 13: case 14: case 15: case 16: case 17: case 20: case 21: case 22:
    case 23: case 24: case 26: case 27: case 28:
      return 0x1800;
    case 8: case 11: case 25:
      return 0x1900;
    default:
      return 0;
  }
}

TBrisolcCommThread::TBrisolcCommThread(const TUpdateRequest& request, TCommLink& link, INotificationSink& sink,
                                       std::atomic<int32_t>& selected)
    : FRequest(request), FLink(link), FSink(sink), selectedSource(selected) {}

void TBrisolcCommThread::doJob() {
  identifyAndEnterBootloader();
  TLoggerData data = readLoggerData();
  reportLoggerData(data);
  // The update-ID block overrides what the logger info says, as it stands.
  if (data.platformOverride != kUnknown16) data.platform = data.platformOverride;
  if (data.printOverride != kUnknown16) data.print = data.printOverride;
  selectSource(data);
  const int32_t n = checkLastLine();
  checkEveryLine(n);
  programSource(n);
  restartAndConfirmClass();
}

uint16_t TBrisolcCommThread::replyClassWord() const {
  return makeWord(FLink.replyFrame()[2], FLink.replyFrame()[3]);
}

uint16_t TBrisolcCommThread::queryIdentity() {
  FLink.sendCommand(true, kCmdIdentity);
  const uint16_t classWord = replyClassWord();
  post(ntf::ClassWord, classWord);
  post(ntf::VersionWord, makeWord(FLink.replyFrame()[4], FLink.replyFrame()[5]));
  return classWord;
}

// A running application is sent the jump once; after it the logger must
// answer as its bootloader. Waiting for the restart is left to the attempts
// and time-outs of the second identity query.
void TBrisolcCommThread::identifyAndEnterBootloader() {
  for (int pass = 1;; ++pass) {
    const uint16_t classWord = queryIdentity();
    if (classWord == kBootloaderClass) return;
    if (pass == 2 || (FRequest.checks.bCheckFirmware && classWord != kApplicationClass))
      throw ETarvo(err::NotInBootloader);
    FLink.sendCommand(false, kCmdJump, 0x81, 0x00, 0xA5, 0x5A, 0x00, 0x00);
    FLink.pauseMs(1);
  }
}

void TBrisolcCommThread::readBootloaderRecord(uint16_t blockAddress, uint8_t command, uint8_t n) {
  FHex.setCommandRecord(blockAddress, command);
  FHex.hexRecordToLine();
  if (!FLink.sendRecordRetry(FHex.hexLine, n, false)) throw ETarvo(err::InvalidAnswer);
  FLink.getReplyText(FHex.hexLine);
  if (!FHex.hexLineToRecord()) throw ETarvo(err::InvalidAnswer);
}

TBrisolcCommThread::TLoggerData TBrisolcCommThread::readLoggerData() {
  TLoggerData data;
  readBootloaderRecord(0, kRecReadInfo, 6);
  data.platform = validPlatform(makeWord(FHex.data(0), FHex.data(1)));
  // Platform 14 loggers run the firmware of platform 15.
  if (data.platform == 14) data.platform = 15;
  data.print = validPrint(makeWord(FHex.data(2), FHex.data(3)));
  data.info = makeWord(FHex.data(4), FHex.data(5));
  if (data.platform == kUnknown16) return data;

  readBootloaderRecord(static_cast<uint16_t>(upidBlockAddress(data.platform) / 64), kRecReadUpid,
                       kDataRecordBytes);
  data.updateClass = validClass(littleEndian(FHex.data(0), FHex.data(1)));
  data.updateInfo = littleEndian(FHex.data(2), FHex.data(3));
  data.platformOverride = littleEndian(FHex.data(4), FHex.data(5));
  data.printOverride = littleEndian(FHex.data(6), FHex.data(7));
  return data;
}

void TBrisolcCommThread::reportLoggerData(const TLoggerData& data) {
  post(ntf::Platform, data.platform);
  post(ntf::Print, data.print);
  post(ntf::InfoWord, data.info);
  post(ntf::UpdateClass, data.updateClass);
  post(ntf::UpdateInfo, data.updateInfo);
  post(ntf::Platform, data.platformOverride);
  post(ntf::Print, data.printOverride);
}

// A loaded update file is the only candidate; otherwise the built-in images
// are tried in order and the first that fits wins.
void TBrisolcCommThread::selectSource(const TLoggerData& data) {
  const TFirmwareSources& sources = FRequest.sources;
  const bool fileOnly = sources.hasFile();
  const int32_t first = fileOnly ? 0 : 1;
  const int32_t last = fileOnly ? 0 : TFirmwareSources::getImageCount();
  const TJobChecks& checks = FRequest.checks;
  selectedSource = -1;
  for (int32_t i = first; i <= last; ++i) {
    post(ntf::CheckingSource, i);
    TBl3FileHeader header;
    sources.getFirmwareHeader(static_cast<uint32_t>(i), header);
    if (checks.bCheckClass && data.updateClass != header.tarvo_class) continue;
    if (data.platform != header.tarvo_platform) continue;
    if (data.print != header.tarvo_print) continue;
    if (header.tarvo_bl != kBootloaderGeneration) continue;
    if (checks.bCheckInfo && data.updateInfo != kUpdateInfoReady) continue;
    selectedSource = i;
    FHeader = header;
    break;
  }
  if (selectedSource == -1) throw ETarvo(err::NoMatchingSource);
  if (FRequest.bReadInfoOnly) throw ETarvo(err::ReadInfoOnly);
}

// Checked before anything is erased: a source must end with the end-of-file
// record and hold at least one line before it.
int32_t TBrisolcCommThread::checkLastLine() {
  const auto source = static_cast<uint32_t>(selectedSource.load());
  const int32_t n = FRequest.sources.getFirmwareLineCount(source);
  if (n < 1) throw ETarvo(err::LastLineWrong);
  std::string lastLine;
  FRequest.sources.getFirmwareLine(source, n, lastLine);
  if (lastLine != ":00000001FF") throw ETarvo(err::LastLineWrong);
  return n;
}

// Every line is converted and checked before anything is erased: a line the
// bootloader cannot take must not leave the logger without an application.
void TBrisolcCommThread::checkEveryLine(int32_t n) {
  const auto source = static_cast<uint32_t>(selectedSource.load());
  const auto problem = checkImageLines(
      [&](int32_t i) {
        std::string line;
        FRequest.sources.getFirmwareLine(source, i, line);
        return line;
      },
      n);
  if (!problem) return;
  post(ntf::LineNotRecord, problem->lineIndex);
  throw ETarvo(err::ConversionError, problem->what).atLine(problem->lineIndex);
}

void TBrisolcCommThread::sendBootloaderCommand(uint8_t command, uint8_t n) {
  FHex.setCommandRecord(0, command);
  FHex.hexRecordToLine();
  FLink.sendRecordRetry(FHex.hexLine, n, true);
}

// The bootloader echoes every programmed line; anything but an identical
// echo means the line did not arrive as sent.
void TBrisolcCommThread::programLine(const std::string& line, int32_t lineIndexOnError) {
  FLink.sendRecordRetry(line, kDataRecordBytes, true);
  FLink.getReplyText(FHex.hexLine);
  if (FHex.hexLine != line) {
    post(ntf::ReadBackDiffers, lineIndexOnError);
    throw ETarvo(err::ProgrammingError).atLine(lineIndexOnError);
  }
}

// The vector table goes in last, so that a logger interrupted mid-way never
// jumps into half-written firmware.
void TBrisolcCommThread::programSource(int32_t n) {
  post(ntf::SourceSelected, ordinal(FRequest.cmd));
  const auto source = static_cast<uint32_t>(selectedSource.load());
  sendBootloaderCommand(kRecErase, 1);
  std::string heldBack;
  // Every line is a 64-byte data record by now (checkEveryLine).
  for (int32_t i = 0; i < n; ++i) {
    std::string line;
    FRequest.sources.getFirmwareLine(source, i, line);
    FHex.hexLine = line;
    FHex.hexLineToRecord();
    if (isVectorTableRecord(FHex)) {
      heldBack = line;
      post(ntf::VectorTable, 0);
      continue;
    }
    programLine(line, i);
    setProgress(i, n);
  }
  // checkEveryLine made sure the image holds its vector table.
  post(ntf::VectorTable, 1);
  programLine(heldBack, n);
}

// Once the start command is out, the new firmware is in place and runs: a
// cancel then skips only the final check and must not be reported as an
// update that did not happen.
void TBrisolcCommThread::restartAndConfirmClass() {
  FLink.pauseOrCancel(kPauseBeforeStartMs);
  sendBootloaderCommand(kRecStart, 0);
  try {
    FLink.pauseOrCancel(kPauseForRestartMs);
    FLink.sendCommand(true, kCmdIdentity);
  } catch (const ETarvo& e) {
    if (e.iException == err::Cancelled) throw ETarvo(err::CancelledAfterStart);
    throw;
  }
  const uint16_t classWord = replyClassWord();
  post(ntf::ClassWord, classWord);
  if (classWord != FHeader.tarvo_class) throw ETarvo(err::WrongClassAfterStart);
}

void TBrisolcCommThread::setProgress(int32_t index, int32_t count) {
  int64_t percent = count == 0 ? 0 : int64_t{index} * 99 / count;
  percent = std::clamp<int64_t>(percent, 0, 99);
  if (percent == FnProgres) return;
  FnProgres = static_cast<int32_t>(percent);
  post(ntf::Progress, FnProgres);
}

namespace {

// Opens the port, wakes the logger and runs the job; the port is closed
// again whatever happens.
void openAndRun(const TUpdateRequest& request, ISerialTransport& port, IClock& clock, INotificationSink& sink,
                std::atomic<int32_t>& selectedSource) {
  if (!port.open(request.sPort, kBaudRate)) throw ETarvo(err::PortNotReady, "", port.lastFailure());
  struct TCloseOnExit {
    ISerialTransport& port;
    ~TCloseOnExit() { port.close(); }
  } closeOnExit{port};

  TCommLink link(port, clock, *request.cancel);
  TBrisolcCommThread job(request, link, sink, selectedSource);
  job.resetProgress();
  // A cancel during these pauses is seen by the next frame's attempt.
  link.sendCommand(false, kWakeUp);
  link.pauseMs(kWakeUpPauseMs);
  link.sendCommand(false, kWakeUp);
  link.pauseMs(kWakeUpPauseMs);
  job.doJob();
}

std::unique_ptr<ISerialTransport> makeTransport(const TJobEnvironment& environment, const TCancelToken& cancel) {
  // The front end chooses the line; a job without one is a front end's fault.
  if (!environment.makeTransport) throw std::logic_error("no serial line for the job");
  return environment.makeTransport(cancel);
}

}  // namespace

TJobResult runUpdateJob(const TUpdateRequest& request, const TJobEnvironment& environment, INotificationSink& sink,
                        std::atomic<int32_t>& selectedSource) {
  TJobResult result;
  std::exception_ptr failure;
  std::unique_ptr<ISerialTransport> port;
  try {
    port = makeTransport(environment, *request.cancel);
    openAndRun(request, *port, environment.clock ? *environment.clock : steadyClock(), sink, selectedSource);
  } catch (const ETarvo& e) {
    failure = std::current_exception();
    result.errorCode = e.iException;
    result.serialFailure = e.serialFailure;
    result.lineIndex = e.lineIndex;
  } catch (...) {
    failure = std::current_exception();
  }
  result.final = finalNotification(failure, request.cmd);
  result.selectedSource = selectedSource.load();
  return result;
}

}  // namespace kelvry
