#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace kelvry {

// How long a read waits for a reply of `count` bytes, counted from the start
// of the read with no limit between characters: long enough for a logger
// that answers late and for every byte at the slowest line, short enough
// that five attempts at a dead logger end within seconds. The one rule every
// platform's read and the logger link follow.
inline constexpr std::chrono::milliseconds kReplyTimeoutBase{200};
inline constexpr std::chrono::milliseconds kReplyTimeoutPerByte{1};

constexpr std::chrono::milliseconds replyTimeout(size_t count) {
  return kReplyTimeoutBase + kReplyTimeoutPerByte * static_cast<int64_t>(count);
}

}  // namespace kelvry
