#include "frontend/job_end_advice.h"

#include "frontend/job_notifications.h"

namespace kelvry {

namespace {

std::string placeText(TLoggerPlace place) {
  return place == TLoggerPlace::Bootloader ? "The logger is erased and waits in its bootloader"
                                           : "Nothing was erased: the logger still has its application";
}

// Why, where, then what to do, in one line.
std::string advice(const std::string& sWhy, TLoggerPlace place, const std::string& sNext) {
  return sWhy + " " + placeText(place) + "; " + sNext;
}

}  // namespace

std::string lineLostAdvice(const TSerialFailure& failure, TLoggerPlace place) {
  std::string why = "The connection to the logger was lost";
  const std::string reason = serialFailureText(failure);
  if (!reason.empty()) why += " (" + reason + ")";
  return advice(why + ".", place, "plug its cable in again and start the update again.");
}

std::string noAnswerAdvice(TLoggerPlace place) {
  return advice("The logger did not answer.", place,
                "check the cable and the logger, plug them in again and start the update again.");
}

std::string readBackAdvice(TLoggerPlace place) {
  return advice("What the logger read back differed from what was sent.", place,
                "check the cable and the logger, then start the update again.");
}

}  // namespace kelvry
