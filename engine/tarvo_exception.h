#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "serial/transport.h"

namespace kelvry {

// The engine's one exception: every failure inside a job is raised as an
// ETarvo carrying its error code and everything known about it where it
// happened; the worker turns it into a notification and the job's result.
class ETarvo : public std::runtime_error {
public:
  explicit ETarvo(int32_t code) : std::runtime_error(""), iException(code) {}
  ETarvo(int32_t code, const std::string& sMsg) : std::runtime_error(sMsg), iException(code) {}
  // A serial operation that failed: its step, error number and text.
  ETarvo(int32_t code, const std::string& sMsg, TSerialFailure failure)
      : std::runtime_error(sMsg), iException(code), serialFailure(std::move(failure)) {}

  // The firmware line the failure is about (0-based), when it is about one.
  ETarvo& atLine(int32_t index) {
    lineIndex = index;
    return *this;
  }

  int32_t iException;
  TSerialFailure serialFailure;
  std::optional<int32_t> lineIndex;
};

}  // namespace kelvry
