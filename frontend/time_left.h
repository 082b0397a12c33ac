#pragma once

#include <chrono>
#include <optional>
#include <string>

// How long the programming still takes, estimated from the lines still to
// send at the rate measured so far. The job reports its progress as the
// share of lines programmed (0 to 99 %), so the percentages stand for lines.
// Until two different percentages were seen there is no rate, and no
// estimate. Both front ends show it: the command line beside its progress
// bar, the window in its progress bar.

namespace kelvry {

class TTimeLeft {
public:
  using time_point = std::chrono::steady_clock::time_point;

  // A new percentage at `now`. A lower one than before means the job
  // started again: the measurement starts over.
  void update(int percent, time_point now);
  std::optional<std::chrono::seconds> left() const;

private:
  int firstPercent_ = -1;
  time_point firstAt_{};
  int percent_ = -1;
  time_point at_{};
};

// "12:05 left" (minutes and seconds); empty without an estimate.
std::string timeLeftText(std::optional<std::chrono::seconds> left);

}  // namespace kelvry
