#include "records/history_cells.h"

#include "records/result_words.h"
#include "records/utc_text.h"

namespace kelvry {

namespace {

std::string joinedWords(const std::string& first, const std::string& second) {
  if (first.empty() || second.empty()) return first + second;
  return first + " " + second;
}

}  // namespace

const std::vector<std::string>& historyHeaders() {
  static const std::vector<std::string> headers = {"Started (UTC)", "Port",  "Serial",   "Before", "After",
                                                   "Image",         "Result", "Operator", "Station"};
  return headers;
}

std::string readableUtc(TUtcTime when) {
  std::string text = utcText(when).substr(0, 19);
  text[10] = ' ';
  return text;
}

std::vector<std::string> historyCells(const TAttemptRecord& r) {
  return {readableUtc(r.started),
          r.port,
          r.usb.serial,
          joinedWords(r.before.loggerClass, r.before.version),
          joinedWords(r.after.loggerClass, r.after.version),
          r.image.name,
          std::string(resultWord(r.status)),
          r.operatorName,
          r.station};
}

}  // namespace kelvry
