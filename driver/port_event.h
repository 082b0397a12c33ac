#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/notification_sink.h"

// What one port's view put out while it handled one notification (or
// started a job): the report lines, the closing messages and the trace
// line, in the order they were written.

namespace kelvry {

struct TPortEvent {
  std::optional<TNotification> notification;  // none: the view started a job by itself
  std::vector<std::pair<std::string, std::string>> report;  // stamped line, bare text
  std::vector<std::string> messages;
  std::vector<std::string> traces;

  bool empty() const { return report.empty() && messages.empty() && traces.empty(); }
};

}  // namespace kelvry
