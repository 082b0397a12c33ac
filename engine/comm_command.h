#pragma once

#include <cstdint>

namespace kelvry {

// The command a worker is started with; the job hands it back in
// notifications 0, 13 and 26.
enum class TCmd : uint8_t { tCMD0 = 0, tCMD1 = 1, tCMD2 = 2, tCMD_TEST = 3 };

inline constexpr int32_t ordinal(TCmd cmd) { return static_cast<int32_t>(cmd); }

}  // namespace kelvry
