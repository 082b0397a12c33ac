#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "records/attempt_record.h"

// Times as the records keep them: UTC text with milliseconds,
// "2026-12-10T14:05:09.123Z", so that benches in other time zones agree and
// text order is time order in either engine.

namespace kelvry {

std::string utcText(TUtcTime when);

// "2026-12-10", "2026-12-10T14:05", "2026-12-10T14:05:09", with an optional
// fraction, "Z" and a space instead of the "T"; all taken as UTC. Nothing
// for any other text.
std::optional<TUtcTime> parseUtcText(std::string_view text);

}  // namespace kelvry
