#pragma once

#include <chrono>
#include <string>

// How long a logger's update took, in the few characters a table cell, a
// report file and the bench window have for it.

namespace kelvry {

// "m:ss", rounded to the second.
std::string durationText(std::chrono::steady_clock::duration duration);

}  // namespace kelvry
