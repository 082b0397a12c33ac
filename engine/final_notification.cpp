#include "engine/final_notification.h"

#include "engine/status_codes.h"
#include "engine/tarvo_exception.h"

namespace kelvry {

TNotification finalNotification(std::exception_ptr failure, TCmd cmd) noexcept {
  if (!failure) return {ntf::JobDone, ordinal(cmd)};
  try {
    std::rethrow_exception(failure);
  } catch (const ETarvo& e) {
    // A communication failure lets the front end repeat the same command.
    if (e.iException == err::NoReply) return {ntf::CommFailure, ordinal(cmd)};
    return {ntf::JobFailed, e.iException};
  } catch (...) {
    return {ntf::JobFailed, 0};
  }
}

}  // namespace kelvry
