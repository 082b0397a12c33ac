#include "records/record_columns.h"

#include <array>
#include <stdexcept>
#include <string_view>

#include "records/utc_text.h"

namespace kelvry {

namespace {

constexpr std::array<std::string_view, 28> kColumns = {
    "id",           "station",        "operator_name",  "program_version", "started_at",
    "ended_at",     "port",           "usb_vendor_id",  "usb_product_id",  "usb_maker",
    "usb_product",  "usb_serial",     "logger_key",     "before_class",    "before_version",
    "before_platform", "before_print", "before_update_data", "image_name", "image_sha256",
    "update_file",  "after_class",    "after_version",  "status",          "result_text",
    "repeats",      "duration_ms",    "report"};

// Report lines hold no line breaks (each is one line of the report), so a
// line break separates them in one column.
std::string joinedReport(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) {
    if (&line != &lines.front()) text += '\n';
    text += line;
  }
  return text;
}

std::vector<std::string> splitReport(const std::string& text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  size_t start = 0;
  for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

TUtcTime storedTime(const std::string& text) {
  const auto time = parseUtcText(text);
  if (!time) throw std::runtime_error("a stored time is not a time: " + text);
  return *time;
}

}  // namespace

std::string recordColumnList(const std::string& prefix) {
  std::string list;
  for (const auto column : kColumns) {
    if (!list.empty()) list += ", ";
    list += prefix;
    list += column;
  }
  return list;
}

std::vector<TSqlValue> recordValues(const TAttemptRecord& r) {
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
          loggerKey(r),
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
          int64_t{r.status},
          r.resultText,
          int64_t{r.repeats},
          int64_t{r.duration.count()},
          joinedReport(r.report)};
}

TAttemptRecord recordFromTexts(const std::vector<std::string>& t) {
  if (t.size() != kColumns.size()) throw std::runtime_error("a stored record has the wrong number of columns");
  TAttemptRecord r;
  r.id = t[0];
  r.station = t[1];
  r.operatorName = t[2];
  r.programVersion = t[3];
  r.started = storedTime(t[4]);
  r.ended = storedTime(t[5]);
  r.port = t[6];
  r.usb = {t[7], t[8], t[9], t[10], t[11]};
  // t[12], the logger's key, follows from the others.
  r.before = {t[13], t[14], t[15], t[16], t[17]};
  r.image = {t[18], t[19], t[20]};
  r.after = {t[21], t[22]};
  r.status = std::stoi(t[23]);
  r.resultText = t[24];
  r.repeats = std::stoi(t[25]);
  r.duration = std::chrono::milliseconds(std::stoll(t[26]));
  r.report = splitReport(t[27]);
  return r;
}

std::string insertRecordSql(TPlaceholders style) {
  std::string values;
  for (size_t i = 1; i <= kColumns.size(); ++i) {
    if (i > 1) values += ", ";
    values += placeholder(style, i);
  }
  return "INSERT INTO attempts (" + recordColumnList() + ") VALUES (" + values + ") ON CONFLICT (id) DO NOTHING";
}

std::string placeholder(TPlaceholders style, size_t index) {
  return style == TPlaceholders::Question ? "?" : "$" + std::to_string(index);
}

}  // namespace kelvry
