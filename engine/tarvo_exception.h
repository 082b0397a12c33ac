#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kelvry {

// The engine's one exception: every failure inside a job is raised as an
// ETarvo carrying its error code; the worker turns it into a notification.
class ETarvo : public std::runtime_error {
public:
  explicit ETarvo(int32_t code) : std::runtime_error(""), iException(code) {}
  ETarvo(int32_t code, const std::string& sMsg) : std::runtime_error(sMsg), iException(code) {}
  ETarvo(int32_t code, int32_t iInfo) : std::runtime_error(std::to_string(iInfo)), iException(code) {}

  int32_t iException;
};

}  // namespace kelvry
