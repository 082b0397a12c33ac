#include "tools/logger_sim/virtual_logger.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

#include "engine/checksums.h"
#include "firmware/hex_codec.h"
#include "tools/logger_sim/reply_faults.h"

namespace kelvry::sim {

namespace {

constexpr uint8_t kIdentityCommand = 1;
constexpr uint8_t kJumpCommand = 2;
constexpr std::array<uint8_t, 6> kJumpParameters = {0x81, 0x00, 0xA5, 0x5A, 0x00, 0x00};
constexpr uint8_t kReplyStatus = 0x81;
constexpr uint8_t kExceptionBit = 0x20;

constexpr uint8_t kCommandRecord = 5;
constexpr uint8_t kDataRecord = 0;
constexpr uint8_t kInfoCommand = 0x20;
constexpr uint8_t kReadBlockCommand = 0x30;
constexpr uint8_t kEraseCommand = 0x31;
constexpr uint8_t kStartCommand = 0x33;

std::string hex4(uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return text;
}

// Where the bootloader keeps the update-ID block, by platform, as a block
// number (byte address / 64). The logger keeps its own copy of this table,
// apart from the host's, so that a wrong entry on either side shows in tests.
uint16_t updateIdBlock(uint16_t platform) {
  switch (platform) {
    case 1: case 2: case 4: case 5: case 6: case 7: case 9: case 10: case 0xFFFE:
      return 0x0040;
    case 12: case 13: case 14: case 15: case 16: case 17: case 20: case 21: case 22:
    case 23: case 24: case 26: case 27: case 28:
      return 0x0060;
    case 8: case 11: case 25:
      return 0x0064;
    default:
      return 0x0000;
  }
}

void putBigEndian(uint8_t* out, uint16_t value) {
  out[0] = static_cast<uint8_t>(value >> 8);
  out[1] = static_cast<uint8_t>(value & 0xFF);
}

void putLittleEndian(uint8_t* out, uint16_t value) {
  out[0] = static_cast<uint8_t>(value & 0xFF);
  out[1] = static_cast<uint8_t>(value >> 8);
}

// A reply record at the request's block, carrying `data`.
std::string replyRecord(uint16_t block, uint8_t type, const uint8_t* data, size_t count) {
  THexCodec codec;
  codec.hexRecord[0] = static_cast<uint8_t>(count);
  codec.hexRecord[1] = static_cast<uint8_t>(block >> 8);
  codec.hexRecord[2] = static_cast<uint8_t>(block & 0xFF);
  codec.hexRecord[3] = type;
  std::copy_n(data, count, codec.hexRecord.begin() + 4);
  codec.hexRecordToLine();
  return codec.hexLine;
}

TFlashBlock dataOf(const THexCodec& codec) {
  TFlashBlock data;
  std::copy_n(codec.hexRecord.begin() + 4, data.size(), data.begin());
  return data;
}

}  // namespace

TVirtualLogger::TVirtualLogger(TLoggerConfig config) : config_(std::move(config)) {
  for (const auto& lines : config_.extraImages) extraImages_.push_back(TKnownImage{blocksOfLines(lines), {}});
  inApplication_ = !config_.identity.startInBootloader;
  runningVerH_ = config_.identity.appVerH;
  runningVerL_ = config_.identity.appVerL;
  stats_.inApplication = inApplication_;
}

std::vector<TLoggerAction> TVirtualLogger::receive(std::string_view bytes) {
  std::vector<TLoggerAction> actions;
  for (const char byte : bytes) {
    if (stats_.hungUp) break;
    if (auto message = splitter_.push(byte)) actions.push_back(act(*message));
  }
  return actions;
}

TLoggerAction TVirtualLogger::act(const TLineMessage& message) {
  const int exchange = ++stats_.exchanges;
  TLoggerAction action;
  action.requestLength = message.bytes.size();
  if (config_.faults.hangUpAt > 0 && exchange >= config_.faults.hangUpAt) {
    event("exchange " + std::to_string(exchange) + ": hanging up");
    stats_.hungUp = true;
    action.hangUp = true;
    return action;
  }
  const bool isFrame = message.kind == TLineMessage::TKind::Frame;
  action.reply = isFrame ? answerFrame(message.bytes) : answerRecord(message.bytes);
  stats_.inApplication = inApplication_;
  if (!action.reply.empty()) action.reply = faulted(std::move(action.reply), isFrame);
  return action;
}

std::string TVirtualLogger::faulted(std::string reply, bool isFrame) const {
  const int exchange = stats_.exchanges;
  if (config_.faults.silentFrom > 0 && exchange >= config_.faults.silentFrom) return {};
  const auto found = config_.faults.replyFaultAt.find(exchange);
  if (found == config_.faults.replyFaultAt.end() || found->second == TReplyFault::None) return reply;
  event("exchange " + std::to_string(exchange) + ": reply fault injected");
  if (found->second == TReplyFault::Drop) return {};
  if (isFrame) {
    applyFrameFault(reply, found->second);
  } else {
    applyRecordFault(reply, found->second);
  }
  return reply;
}

std::string TVirtualLogger::answerFrame(const std::string& frame) {
  std::array<uint8_t, 8> bytes{};
  std::copy_n(frame.begin(), bytes.size(), bytes.begin());
  if (crc8(bytes.data(), 7) != bytes[7]) return {};
  // The wake-up frame (eight zero bytes) passes the check and, as command 0,
  // is not answered.
  const uint8_t command = bytes[0] & 0x7F;
  if (command == kIdentityCommand) return identityReply();
  if (command == kJumpCommand && std::equal(kJumpParameters.begin(), kJumpParameters.end(), bytes.begin() + 1)) {
    jump();
  }
  return {};
}

std::string TVirtualLogger::identityReply() {
  ++stats_.identityQueries;
  const TLoggerIdentity& id = config_.identity;
  uint16_t cls = id.blClass;
  uint8_t verH = id.blVerH;
  uint8_t verL = id.blVerL;
  if (inApplication_) {
    const bool wrongClass = started_ && config_.faults.wrongClassAfterStart >= 0;
    cls = wrongClass ? static_cast<uint16_t>(config_.faults.wrongClassAfterStart) : id.appClass;
    verH = runningVerH_;
    verL = runningVerL_;
    if (started_) ++stats_.startedIdentityReplies;
  }
  std::array<uint8_t, 8> reply = {kReplyStatus, 0, 0, 0, verH, verL, 0, 0};
  putBigEndian(&reply[2], cls);
  if (config_.faults.exceptionBitAlways) reply[0] |= kExceptionBit;
  reply[7] = crc8(reply.data(), 7);
  event("identity query: class " + hex4(cls) + (inApplication_ ? " (application)" : " (bootloader)"));
  return std::string(reply.begin(), reply.end());
}

void TVirtualLogger::jump() {
  ++stats_.jumps;
  if (!inApplication_) return;
  if (config_.faults.stayInApplication) {
    event("bootloader jump ignored");
    return;
  }
  inApplication_ = false;
  started_ = false;
  event("bootloader jump: the bootloader runs");
}

std::string TVirtualLogger::answerRecord(const std::string& line) {
  // The application does not understand bootloader records.
  if (inApplication_) return {};
  THexCodec codec;
  codec.hexLine = line;
  if (!codec.hexLineToRecord()) return {};
  const uint16_t block = makeWord(codec.addressHigh(), codec.addressLow());
  if (codec.type() == kCommandRecord && codec.count() == 1) return commandReply(block, codec.data(0));
  if (codec.type() == kDataRecord && codec.count() == THexCodec::kMaxData) return programReply(block, codec);
  return {};
}

std::string TVirtualLogger::commandReply(uint16_t block, uint8_t command) {
  switch (command) {
    case kInfoCommand: return infoReply(block);
    case kReadBlockCommand: return blockReadReply(block);
    case kEraseCommand: return eraseReply(block);
    case kStartCommand: start(); return {};
    default: return {};
  }
}

std::string TVirtualLogger::infoReply(uint16_t block) {
  const TLoggerIdentity& id = config_.identity;
  std::array<uint8_t, 6> data{};
  putBigEndian(&data[0], id.platform);
  putBigEndian(&data[2], id.print);
  putBigEndian(&data[4], id.info);
  event("logger info: platform " + std::to_string(id.platform) + ", print " + std::to_string(id.print));
  return replyRecord(block, kCommandRecord, data.data(), data.size());
}

// Reads one block: the update-ID block where the platform keeps it, the
// programmed content elsewhere, erased memory (0xFF) where nothing is.
std::string TVirtualLogger::blockReadReply(uint16_t block) {
  const TLoggerIdentity& id = config_.identity;
  TFlashBlock data;
  data.fill(0xFF);
  if (block == updateIdBlock(id.platform)) {
    putLittleEndian(&data[0], id.upidId);
    putLittleEndian(&data[2], id.upidInfo);
    putLittleEndian(&data[4], id.upidPlatform);
    putLittleEndian(&data[6], id.upidPrint);
    event("update-ID block read at block " + hex4(block));
  } else if (const auto stored = flash_.read(block)) {
    data = *stored;
  }
  return replyRecord(block, kCommandRecord, data.data(), data.size());
}

std::string TVirtualLogger::eraseReply(uint16_t block) {
  flash_.erase();
  linesSinceErase_ = 0;
  stats_.programOrder.clear();
  ++stats_.erases;
  event("erase");
  return replyRecord(block, kCommandRecord, &kEraseCommand, 1);
}

std::string TVirtualLogger::programReply(uint16_t block, const THexCodec& request) {
  const int lineNumber = linesSinceErase_++;
  const bool corrupt = lineNumber == config_.faults.corruptEchoOfLine &&
                       (config_.faults.corruptEchoAlways || !corruptEchoUsed_);
  THexCodec echo = request;
  echo.hexRecordToLine();
  if (corrupt) {
    // The logger wrote the line wrongly: the flash keeps what the echo shows,
    // so a host that ignored the difference would not get the application
    // to start.
    corruptEchoUsed_ = true;
    corruptRecord(echo.hexLine, config_.faults.corruptEchoPart);
    event("line " + std::to_string(lineNumber) + ": echo corrupted");
  }
  programAsEchoed(echo.hexLine);
  stats_.programOrder.push_back(block);
  ++stats_.recordsProgrammed;
  if (lineNumber == 0) event("programming");
  return echo.hexLine;
}

// An echo that is no 64-byte data record stands for a line the bootloader
// did not take as one: nothing is programmed.
void TVirtualLogger::programAsEchoed(const std::string& echoLine) {
  THexCodec echo;
  echo.hexLine = echoLine;
  if (!echo.hexLineToRecord() || echo.type() != kDataRecord || echo.count() != THexCodec::kMaxData) return;
  flash_.program(makeWord(echo.addressHigh(), echo.addressLow()), dataOf(echo));
}

void TVirtualLogger::start() {
  ++stats_.starts;
  const TKnownImage* image = flash_.matchingImage(builtinImages());
  if (image == nullptr) image = flash_.matchingImage(extraImages_);
  if (!flash_.vectorTableProgrammed() || image == nullptr) {
    event(std::string("start refused: ") +
          (image == nullptr ? "the flash holds no complete image" : "the vector table was not programmed") +
          "; the bootloader keeps running");
    return;
  }
  inApplication_ = true;
  started_ = true;
  runningVerH_ = image->header ? static_cast<uint8_t>(image->header->tarvo_verH) : config_.identity.appVerH;
  runningVerL_ = image->header ? static_cast<uint8_t>(image->header->tarvo_verL) : config_.identity.appVerL;
  ++stats_.applicationStarts;
  event("start: application V" + std::to_string(runningVerH_) + "." + std::to_string(runningVerL_) + " runs (" +
        std::to_string(stats_.programOrder.size()) + " lines programmed)");
}

void TVirtualLogger::event(const std::string& text) const {
  if (config_.onEvent) config_.onEvent(text);
}

}  // namespace kelvry::sim
