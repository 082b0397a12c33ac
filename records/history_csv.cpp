#include "records/history_csv.h"

#include <cstdio>

#include "records/result_words.h"
#include "records/utc_text.h"

namespace kelvry {

namespace {

const std::vector<std::string> kHeader = {
    "id",          "station",      "operator",     "program",       "started",        "ended",
    "port",        "usb_vendor_id", "usb_product_id", "usb_maker",  "usb_product",    "usb_serial",
    "before_class", "before_version", "before_platform", "before_print", "before_update_data",
    "image",       "image_sha256", "update_file",  "after_class",   "after_version",  "result",
    "status",      "text",         "repeats",      "seconds",       "report"};

std::string seconds(std::chrono::milliseconds duration) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", std::chrono::duration<double>(duration).count());
  return text;
}

std::string joinedLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

std::vector<std::string> fields(const TAttemptRecord& r) {
  return {r.id,
          r.station,
          r.operatorName,
          r.programVersion,
          utcText(r.started),
          utcText(r.ended),
          r.port,
          r.usb.vendorId,
          r.usb.productId,
          r.usb.maker,
          r.usb.product,
          r.usb.serial,
          r.before.loggerClass,
          r.before.version,
          r.before.platform,
          r.before.print,
          r.before.updateData,
          r.image.name,
          r.image.sha256,
          r.image.updateFile,
          r.after.loggerClass,
          r.after.version,
          std::string(resultWord(r.status)),
          std::to_string(r.status),
          r.resultText,
          std::to_string(r.repeats),
          seconds(r.duration),
          joinedLines(r.report)};
}

std::string row(const std::vector<std::string>& cells) {
  std::string line;
  for (size_t i = 0; i < cells.size(); ++i) line += (i ? "," : "") + csvField(cells[i]);
  return line + "\r\n";
}

}  // namespace

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string historyCsv(const std::vector<TAttemptRecord>& records) {
  std::string text = row(kHeader);
  for (const auto& record : records) text += row(fields(record));
  return text;
}

}  // namespace kelvry
