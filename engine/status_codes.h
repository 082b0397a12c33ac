#pragma once

#include <cstdint>

// The two vocabularies of the update engine: the error codes carried by
// ETarvo, and the notification codes the worker posts to its front end.

namespace kelvry {

namespace err {
inline constexpr int32_t PortNotReady = 10;       // port cannot be opened and configured
inline constexpr int32_t SerialIo = 11;           // a serial operation failed
inline constexpr int32_t Cancelled = 20;          // cancel flag seen before an attempt or during a wait
inline constexpr int32_t CancelledAfterStart = 21;  // cancelled after the start command: the new
                                                    // firmware runs, its class was not checked
inline constexpr int32_t NoReply = 30;            // all attempts of an exchange failed
inline constexpr int32_t NotInBootloader = 40;    // logger may not be / was not switched
inline constexpr int32_t LoggerException = 41;    // reply frame flags an exception
inline constexpr int32_t LastLineWrong = 42;      // source has no data lines or bad EOF line
inline constexpr int32_t ConversionError = 43;    // a firmware line is not a record
inline constexpr int32_t ProgrammingError = 44;   // read-back differs from the line sent
inline constexpr int32_t WrongClassAfterStart = 45;
inline constexpr int32_t InvalidAnswer = 46;      // info or update-ID read failed
inline constexpr int32_t NoMatchingSource = 47;
inline constexpr int32_t ReadInfoOnly = 70;       // job stopped after the selection
}  // namespace err

namespace ntf {
inline constexpr uint32_t JobDone = 0;            // value: TCmd ordinal
inline constexpr uint32_t Progress = 1;           // value: percent 0..99
inline constexpr uint32_t JobFailed = 10;         // value: error code, 0 for foreign failures
inline constexpr uint32_t ReadBackDiffers = 11;   // value: line index
inline constexpr uint32_t LineNotRecord = 12;     // value: line index
inline constexpr uint32_t CommFailure = 13;       // value: TCmd ordinal
inline constexpr uint32_t ClassWord = 20;
inline constexpr uint32_t VersionWord = 21;
inline constexpr uint32_t Platform = 22;
inline constexpr uint32_t Print = 23;
inline constexpr uint32_t InfoWord = 24;
inline constexpr uint32_t UpdateClass = 25;
inline constexpr uint32_t SourceSelected = 26;    // value: TCmd ordinal
inline constexpr uint32_t CheckingSource = 27;    // value: source number
inline constexpr uint32_t UpdateInfo = 28;
inline constexpr uint32_t VectorTable = 40;       // 0 held back, 1 programming now
}  // namespace ntf

// Well-known class words of the identity reply.
inline constexpr uint16_t kBootloaderClass = 0xC802;
inline constexpr uint16_t kApplicationClass = 0x6617;
inline constexpr uint16_t kUnknown16 = 0xFFFF;

}  // namespace kelvry
