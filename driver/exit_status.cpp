#include "driver/exit_status.h"

#include <algorithm>
#include <array>

#include "engine/status_codes.h"

namespace kelvry {

int successStatus(bool readInfoOnly) { return readInfoOnly ? err::ReadInfoOnly : kExitSuccess; }

int exitStatusForError(int32_t errorCode) {
  static constexpr std::array kJobErrors = {
      err::PortNotReady,     err::SerialIo,        err::Cancelled,         err::CancelledAfterStart,
      err::NoReply,
      err::NotInBootloader,  err::LoggerException, err::LastLineWrong,     err::ConversionError,
      err::ProgrammingError, err::WrongClassAfterStart, err::InvalidAnswer, err::NoMatchingSource,
      err::ReadInfoOnly};
  return std::ranges::find(kJobErrors, errorCode) != kJobErrors.end() ? errorCode : kExitUnexpected;
}

}  // namespace kelvry
