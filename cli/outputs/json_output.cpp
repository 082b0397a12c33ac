#include "cli/outputs/json_output.h"

#include <nlohmann/json.hpp>

#include "driver/utc_stamp.h"

namespace kelvry::cli {

namespace {

using json = nlohmann::ordered_json;

std::string joinedLines(const TPortEvent& event) {
  std::string text;
  for (const auto& line : event.report) {
    if (!text.empty()) text += '\n';
    text += line.second;
  }
  return text;
}

// Absent values are null rather than empty strings, so a script can tell
// "not known" from a text.
json textOrNull(const std::string& text) { return text.empty() ? json(nullptr) : json(text); }

}  // namespace

std::string eventJsonLine(const std::string& port, std::chrono::system_clock::time_point when,
                          const TPortEvent& event) {
  json line = {{"port", port}, {"time", isoUtcStamp(when)}};
  line["code"] = event.notification ? json(event.notification->code) : json(nullptr);
  line["value"] = event.notification ? json(event.notification->value) : json(nullptr);
  line["text"] = joinedLines(event);
  if (!event.messages.empty()) line["message"] = event.messages.back();
  return line.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string resultJsonLine(const TPortRecord& record, std::chrono::system_clock::time_point when) {
  const json result = {
      {"status", record.exitStatus},
      {"text", record.resultText},
      {"loggerBefore", textOrNull(record.loggerBefore)},
      {"loggerAfter", textOrNull(record.loggerAfter)},
      {"image", textOrNull(record.image)},
      {"imageSha256", textOrNull(record.imageSha256)},
      {"usb",
       {{"vendorId", textOrNull(record.usb.vendorId)},
        {"productId", textOrNull(record.usb.productId)},
        {"maker", textOrNull(record.usb.manufacturer)},
        {"product", textOrNull(record.usb.product)},
        {"serial", textOrNull(record.usb.serialNumber)}}},
      {"repeats", record.repeats},
      {"seconds", std::chrono::duration<double>(record.duration).count()},
  };
  const json line = {{"port", record.port}, {"time", isoUtcStamp(when)}, {"result", result}};
  return line.dump(-1, ' ', false, json::error_handler_t::replace);
}

TJsonLinesOutput::TJsonLinesOutput(std::vector<std::string> ports, TStdoutLines& lines)
    : ports_(std::move(ports)), lines_(lines) {}

void TJsonLinesOutput::portAdded(size_t port, const std::string& name) {
  if (ports_.size() <= port) ports_.resize(port + 1);
  ports_[port] = name;
}

void TJsonLinesOutput::event(size_t port, const TPortEvent& event) {
  if (event.empty() && !event.notification) return;
  lines_.write(eventJsonLine(ports_[port], std::chrono::system_clock::now(), event));
}

void TJsonLinesOutput::finished(size_t, const TPortRecord& record) {
  lines_.write(resultJsonLine(record, std::chrono::system_clock::now()));
}

}  // namespace kelvry::cli
