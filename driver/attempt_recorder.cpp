#include "driver/attempt_recorder.h"

#include "engine/status_codes.h"
#include "firmware/identity_names.h"
#include "frontend/text_format.h"
#include "records/record_origin.h"
#include "serial/usb_port_identity.h"

namespace kelvry {

namespace {

uint16_t low16(int32_t value) { return static_cast<uint16_t>(value & 0xFFFF); }

// The identity the logger answered with first: a repeat, or the new
// firmware's answer after the start, does not overwrite it.
void keepFirst(std::string& field, const std::string& text) {
  if (field.empty()) field = text;
}

void noteIdentity(TLoggerBefore& before, const TNotification& n) {
  std::string name;
  switch (n.code) {
    case ntf::ClassWord:
      getClassName(low16(n.value), kUnknownNumber, name);
      keepFirst(before.loggerClass, name);
      break;
    case ntf::VersionWord:
      keepFirst(before.version, format("V%d.%.2d", (n.value >> 8) & 0xFF, n.value & 0xFF));
      break;
    case ntf::Platform:
      getPlatformName(low16(n.value), name);
      keepFirst(before.platform, format("%d %s", n.value, name.c_str()));
      break;
    case ntf::Print:
      getPrintName(low16(n.value), name);
      keepFirst(before.print, format("%d %s", n.value, name.c_str()));
      break;
    case ntf::UpdateInfo:
      keepFirst(before.updateData, format("%.4X", static_cast<unsigned>(n.value)));
      break;
    default:
      break;
  }
}

TUsbIdentity usbIdentity(const TUsbPortIdentity& identity) {
  return {identity.vendorId, identity.productId, identity.manufacturer, identity.product, identity.serialNumber};
}

}  // namespace

std::pair<std::string, std::string> splitLoggerText(const std::string& text) {
  const size_t space = text.rfind(' ');
  if (space == std::string::npos) return {text, {}};
  return {text.substr(0, space), text.substr(space + 1)};
}

TAttemptRecorder::TAttemptRecorder(TRecordContext context, TRecordWriter& writer)
    : context_(std::move(context)), writer_(writer) {}

void TAttemptRecorder::portAdded(size_t port, const std::string& name) {
  const std::lock_guard lock(mutex_);
  ports_[port] = {};
  ports_[port].name = name;
}

void TAttemptRecorder::jobRunning(size_t port, bool running) {
  const std::lock_guard lock(mutex_);
  auto& attempt = ports_[port];
  if (running && !attempt.started) attempt.started = std::chrono::system_clock::now();
}

void TAttemptRecorder::event(size_t port, const TPortEvent& event) {
  const std::lock_guard lock(mutex_);
  auto& attempt = ports_[port];
  for (const auto& line : event.report) attempt.report.push_back(line.second);
  if (event.notification) noteIdentity(attempt.before, *event.notification);
}

void TAttemptRecorder::finished(size_t port, const TPortRecord& portRecord) {
  TPortAttempt attempt;
  {
    const std::lock_guard lock(mutex_);
    attempt = std::move(ports_[port]);
    ports_.erase(port);
  }
  TAttemptRecord record;
  record.id = newRecordId();
  record.station = context_.station;
  record.operatorName = context_.operatorName;
  record.programVersion = context_.programVersion;
  record.ended = std::chrono::system_clock::now();
  const auto duration = std::chrono::duration_cast<std::chrono::milliseconds>(portRecord.duration);
  record.started = attempt.started.value_or(record.ended - duration);
  record.port = portRecord.port.empty() ? attempt.name : portRecord.port;
  // The identity as the job started: a logger pulled mid-update is gone
  // from the port by now.
  record.usb = usbIdentity(portRecord.usb);
  record.before = attempt.before;
  if (record.before.loggerClass.empty() && !portRecord.loggerBefore.empty())
    std::tie(record.before.loggerClass, record.before.version) = splitLoggerText(portRecord.loggerBefore);
  record.image = {portRecord.image, portRecord.imageSha256, portRecord.image.empty() ? "" : context_.updateFile};
  std::tie(record.after.loggerClass, record.after.version) = splitLoggerText(portRecord.loggerAfter);
  record.status = portRecord.exitStatus;
  record.resultText = portRecord.resultText;
  record.repeats = portRecord.repeats;
  record.duration = duration;
  record.report = std::move(attempt.report);
  writer_.add(std::move(record));
}

}  // namespace kelvry
