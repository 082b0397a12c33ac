#pragma once

#include <string>

namespace kelvry::test {

// A port that does not exist on this platform, and how its open fails.
struct TMissingPort {
  std::string name;
  std::string operation;
  int errorNumber;
};

TMissingPort missingPort();

}  // namespace kelvry::test
