#pragma once

#include <optional>
#include <string>

#include "ui/bench/bench_rows.h"

// What a port's row of the bench window says: a state in a word (each state
// also has its colour, never the colour alone), the status text and the
// result. Written once here, so the window and its tests read the same
// words.

namespace kelvry {

enum class TRowState {
  OutsideFilter,    // shown greyed; the bench never opens it
  WaitingForStart,  // present, nothing touched until Start
  PluggedIn,        // the bench takes it once it has settled
  Updating,
  Done,             // updated; waits to be unplugged
  Failed,           // failed; waits to be unplugged
  NotTaken,         // the bench has ended (stopped, or the case is complete)
};

struct TRowText {
  TRowState state = TRowState::WaitingForStart;
  std::string word;    // "updating"
  std::string status;  // "done, unplug it"
  std::string result;  // "Updated to Kelvry V2.92", "Failed (status 30)"
};

struct TRowFacts {
  bool passesFilter = true;
  bool benchRunning = false;
  bool benchEnded = false;  // a bench ran and has ended since
  std::optional<TBenchJobState> job;  // the job of the logger on this port, if it got one
  int success = 0;                    // a logger's status when it was done right
};

TRowText rowText(const TRowFacts& facts);

// The closing message's first line without its closing mark, for
// "failed: <reason>, unplug it".
std::string failureReason(const std::string& resultText);

}  // namespace kelvry
