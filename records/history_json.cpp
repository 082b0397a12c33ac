#include "records/history_json.h"

#include <nlohmann/json.hpp>

#include "records/result_words.h"
#include "records/utc_text.h"

namespace kelvry {

namespace {

using json = nlohmann::ordered_json;

// Absent values are null rather than empty strings, as in a run's result.
json textOrNull(const std::string& text) { return text.empty() ? json(nullptr) : json(text); }

std::string joinedWords(const std::string& first, const std::string& second) {
  if (first.empty() || second.empty()) return first + second;
  return first + " " + second;
}

}  // namespace

std::string historyJsonLine(const TAttemptRecord& r) {
  const json line = {
      {"id", r.id},
      {"station", r.station},
      {"operator", r.operatorName},
      {"program", r.programVersion},
      {"started", utcText(r.started)},
      {"ended", utcText(r.ended)},
      {"port", r.port},
      {"usb",
       {{"vendorId", textOrNull(r.usb.vendorId)},
        {"productId", textOrNull(r.usb.productId)},
        {"maker", textOrNull(r.usb.maker)},
        {"product", textOrNull(r.usb.product)},
        {"serial", textOrNull(r.usb.serial)}}},
      {"before",
       {{"class", textOrNull(r.before.loggerClass)},
        {"version", textOrNull(r.before.version)},
        {"platform", textOrNull(r.before.platform)},
        {"print", textOrNull(r.before.print)},
        {"updateData", textOrNull(r.before.updateData)}}},
      {"after", {{"class", textOrNull(r.after.loggerClass)}, {"version", textOrNull(r.after.version)}}},
      {"updateFile", textOrNull(r.image.updateFile)},
      {"result", std::string(resultWord(r.status))},
      // The keys of a run's JSON result:
      {"status", r.status},
      {"text", r.resultText},
      {"loggerBefore", textOrNull(joinedWords(r.before.loggerClass, r.before.version))},
      {"loggerAfter", textOrNull(joinedWords(r.after.loggerClass, r.after.version))},
      {"image", textOrNull(r.image.name)},
      {"imageSha256", textOrNull(r.image.sha256)},
      {"repeats", r.repeats},
      {"seconds", std::chrono::duration<double>(r.duration).count()},
      {"report", r.report},
  };
  return line.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace kelvry
