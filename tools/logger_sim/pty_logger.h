#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/logger_sim/virtual_logger.h"

namespace kelvry::sim {

// Runs a virtual logger behind a pseudo-terminal, on its own thread. The
// slave side (portPath) is a real serial device to the program under test.
//
// The program under test may open and close the port as often as it likes
// (once per job). A hang-up fault closes the pseudo-terminal for good: the
// program then reads a hang-up, and the logger answers nothing more.
class TPtyLogger {
public:
  // Throws std::system_error when no pseudo-terminal can be had.
  explicit TPtyLogger(TLoggerConfig config = {});
  ~TPtyLogger();  // stops the thread and closes the pseudo-terminal
  TPtyLogger(const TPtyLogger&) = delete;
  TPtyLogger& operator=(const TPtyLogger&) = delete;

  const std::string& portPath() const;

  // Snapshots, safe to call while the logger runs.
  TLoggerStats stats() const;
  // The programmed flash as upper-case Intel HEX lines (64-byte type-0
  // records in block order) followed by ":00000001FF".
  std::vector<std::string> flashLines() const;
  bool writeFlash(const std::string& path) const;

  // Ends the logger's thread; the pseudo-terminal stays open until the
  // object is destroyed. Calling it again does nothing. Not to be called
  // from two threads at once.
  void stop();

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kelvry::sim
