#pragma once

#include <optional>
#include <string>

// When a failed job is started again by itself, and how that is told. The
// window and the command line (one port, several, a bench) follow these
// rules; only their timing differs (the window waits on a timer so that it
// stays responsive, a port's thread of the command line simply sleeps).
//
// The words differ on purpose. The window shows its closing message in a
// box whose second line tells where the logger is and what to do, so the
// first line states what happened ("Stopped after 3 repeats in a row: ...").
// The command line's closing message is one line, the last of the report,
// that scripts, report files and the summary table read: it carries the
// kind of failure itself ("Gave up after 3 repeats: communication error!").

namespace kelvry {

// A logger that fails the same way again and again needs a person, not
// another erase: a failed update is repeated this often in a row unless the
// user chooses another bound (the command line's --max-repeats).
inline constexpr int kDefaultMaxRepeats = 3;

// Whether one more repeat is allowed after `repeats` of them; no bound
// allows any number.
bool mayRepeat(int repeats, std::optional<int> bound);

// The kinds of failure that are repeated, in the command line's words.
inline constexpr const char* kProgrammingErrorReason = "programming error";
inline constexpr const char* kCommunicationErrorReason = "communication error";

// The window's status-bar counter while a repeat runs: "Repeat 1 of 3".
std::string repeatCountText(int repeats, int bound);

// The window's closing message when the bound is reached.
std::string stoppedRepeatingText(int repeats);

// The command line's closing message when the bound is reached:
// "Gave up after 1 repeat: programming error!".
std::string gaveUpText(int repeats, const std::string& reason);

}  // namespace kelvry
