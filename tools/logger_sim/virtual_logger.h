#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/hex_codec.h"
#include "tools/logger_sim/logger_flash.h"
#include "tools/logger_sim/message_splitter.h"

// The virtual logger: behaves on the serial line as a Kelvry data logger
// with its generation-3 bootloader. It is the peer of the protocol and job
// tests and a demo for users without hardware.

namespace kelvry::sim {

// Who the logger says it is.
struct TLoggerIdentity {
  bool startInBootloader = false;  // else the application runs
  uint16_t appClass = 0x6617;      // identity class while the application runs
  uint8_t appVerH = 2, appVerL = 92;
  uint16_t blClass = 0xC802;       // identity class of the bootloader
  uint8_t blVerH = 3, blVerL = 0;
  uint16_t platform = 15;          // logger info (command 0x20), big-endian on the wire
  uint16_t print = 56;
  uint16_t info = 0;
  uint16_t upidId = 0x6617;        // update-ID block (command 0x30), little-endian
  uint16_t upidInfo = 0xFFFE;
  uint16_t upidPlatform = 0xFFFF;
  uint16_t upidPrint = 0xFFFF;
};

// What the logger does to one reply.
enum class TReplyFault {
  None,
  Drop,                     // no reply at all
  Truncate,                 // reply one character/byte short
  BadChecksum,              // last byte/pair altered
  ExceptionBit,             // frame reply: status bit 0x20 set, checksum right
  ExceptionBitBadChecksum,  // frame reply: status bit 0x20 set, checksum wrong
  CorruptChar,              // record reply: one data character changed, checksum recomputed
                            // (frame reply: class low byte changed, checksum right)
  Nul,                      // line noise: as many NUL bytes as the reply has
};

// The part of an echoed data line that a corrupted echo changes. Each
// leaves a well-formed line with a right checksum: only a comparison with
// the line sent can tell.
enum class TEchoPart {
  FirstDataByte,
  MiddleDataByte,
  LastDataByte,
  Address,  // another block's, of the same checksum: the line differs there only
  Type,     // a record type other than data
  Length,   // one data byte more, see corruptRecord
};

// Faults to inject. Exchanges are the complete messages (frames or records)
// the logger receives, numbered from 1 in arrival order; the two wake-up
// frames of a job are exchanges too.
struct TLoggerFaults {
  std::map<int, TReplyFault> replyFaultAt;  // fault for the reply to exchange k
  int corruptEchoOfLine = -1;   // data record number since the last erase (0-based, arrival order)
  bool corruptEchoAlways = false;  // false: only the first echo of that line
  TEchoPart corruptEchoPart = TEchoPart::FirstDataByte;  // what that echo gets wrong
  bool exceptionBitAlways = false;  // every frame reply flags an exception
  int silentFrom = 0;           // > 0: no reply to exchange k and later (messages still act)
  int hangUpAt = 0;             // > 0: close the line when exchange k arrives
  int wrongClassAfterStart = -1;  // >= 0: the started application reports this class
  bool stayInApplication = false;  // ignore the bootloader jump
  int baud = 0;                 // > 0: emulate the wire time of this baud rate (10 bits a byte)
};

struct TLoggerConfig {
  TLoggerIdentity identity;
  TLoggerFaults faults;
  // Images whose complete programming lets the application start; the
  // built-in images are always known. Each entry is a list of record lines.
  std::vector<std::vector<std::string>> extraImages;
  // A message that has not been completed within this time is dropped, so a
  // message cut short on the line cannot swallow the next one.
  int partialMessageTimeoutMs = 250;
  // Told, on the logger's thread, what the logger does ("erase", "start"...).
  std::function<void(const std::string&)> onEvent;
};

// Counters a test can check after a job.
struct TLoggerStats {
  int exchanges = 0;
  int identityQueries = 0;
  int jumps = 0;               // jump frames received, obeyed or not
  int erases = 0;
  int recordsProgrammed = 0;   // data records echoed since start
  int starts = 0;              // start commands received
  int applicationStarts = 0;   // start commands that started the application
  int startedIdentityReplies = 0;  // identity replies of an application started by a start command
  bool inApplication = false;
  bool hungUp = false;
  std::vector<uint16_t> programOrder;  // block addresses since the last erase, in arrival order
};

// What the logger does about one complete message.
struct TLoggerAction {
  size_t requestLength = 0;  // bytes of the message; its wire time passes before the reply
  std::string reply;         // bytes to send back; empty for none
  bool hangUp = false;       // close the line instead of answering
};

// The logger's behaviour without the line: bytes in, actions out. Not
// thread-safe; TPtyLogger serialises the calls.
class TVirtualLogger {
public:
  explicit TVirtualLogger(TLoggerConfig config);

  // Takes bytes from the line, in any pieces; returns one action for each
  // message they complete, in order. After a hang-up it takes nothing more.
  std::vector<TLoggerAction> receive(std::string_view bytes);

  bool hasPartialMessage() const { return splitter_.hasPartialMessage(); }
  void discardPartialMessage() { splitter_.discardPartialMessage(); }

  const TLoggerStats& stats() const { return stats_; }
  // The programmed flash, see TLoggerFlash::lines.
  std::vector<std::string> flashLines() const { return flash_.lines(); }

private:
  TLoggerAction act(const TLineMessage& message);
  std::string answerFrame(const std::string& frame);
  std::string answerRecord(const std::string& line);
  std::string identityReply();
  void jump();
  std::string commandReply(uint16_t block, uint8_t command);
  std::string infoReply(uint16_t block);
  std::string blockReadReply(uint16_t block);
  std::string eraseReply(uint16_t block);
  void start();
  std::string programReply(uint16_t block, const THexCodec& request);
  void programAsEchoed(const std::string& echoLine);
  std::string faulted(std::string reply, bool isFrame) const;
  void event(const std::string& text) const;

  TLoggerConfig config_;
  std::vector<TKnownImage> extraImages_;
  TMessageSplitter splitter_;
  TLoggerFlash flash_;
  TLoggerStats stats_;
  bool inApplication_ = false;
  bool started_ = false;         // the application runs because of a start command
  uint8_t runningVerH_ = 0, runningVerL_ = 0;  // version the application reports
  int linesSinceErase_ = 0;
  bool corruptEchoUsed_ = false;
};

}  // namespace kelvry::sim
