#include "records/schema_steps.h"

namespace kelvry {

namespace {

// Times are UTC text (utc_text.h) and every text column is NOT NULL with ''
// for "not known", so that both engines compare alike.
constexpr std::string_view kAttemptsTable = R"(
CREATE TABLE attempts (
  id TEXT PRIMARY KEY,
  station TEXT NOT NULL,
  operator_name TEXT NOT NULL,
  program_version TEXT NOT NULL,
  started_at TEXT NOT NULL,
  ended_at TEXT NOT NULL,
  port TEXT NOT NULL,
  usb_vendor_id TEXT NOT NULL,
  usb_product_id TEXT NOT NULL,
  usb_maker TEXT NOT NULL,
  usb_product TEXT NOT NULL,
  usb_serial TEXT NOT NULL,
  logger_key TEXT NOT NULL,
  before_class TEXT NOT NULL,
  before_version TEXT NOT NULL,
  before_platform TEXT NOT NULL,
  before_print TEXT NOT NULL,
  before_update_data TEXT NOT NULL,
  image_name TEXT NOT NULL,
  image_sha256 TEXT NOT NULL,
  update_file TEXT NOT NULL,
  after_class TEXT NOT NULL,
  after_version TEXT NOT NULL,
  status INTEGER NOT NULL,
  result_text TEXT NOT NULL,
  repeats INTEGER NOT NULL,
  duration_ms BIGINT NOT NULL,
  report TEXT NOT NULL
);
CREATE INDEX attempts_by_time ON attempts (started_at);
)";

// "Which loggers still run V2.88" asks for every logger's last attempt:
// this index answers it without reading every row.
constexpr std::string_view kLatestPerLoggerIndex = R"(
CREATE INDEX attempts_latest_per_logger ON attempts (logger_key, started_at);
)";

}  // namespace

const std::vector<std::string_view>& schemaSteps() {
  static const std::vector<std::string_view> steps = {kAttemptsTable, kLatestPerLoggerIndex};
  return steps;
}

int currentSchemaVersion() { return static_cast<int>(schemaSteps().size()); }

}  // namespace kelvry
