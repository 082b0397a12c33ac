#pragma once

#include <chrono>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/outputs/board_lines.h"
#include "driver/run_output.h"
#include "frontend/time_left.h"

// The live board of several ports on stderr: a row per port with its
// logger, percent, time left and status, on screen from the start until the
// summary. A change is drawn at most every `redrawEvery`, since every draw
// sends all rows and a slow console (Windows') would hold the ports up; the
// rows come back whole after each report line anyway, and a port's result
// is drawn at once.

namespace kelvry::cli {

class TBoardOutput final : public IRunOutput, public ILiveDisplay {
public:
  static constexpr std::chrono::milliseconds kRedrawEvery{200};

  TBoardOutput(std::ostream& terminal, bool isTerminal, int columns, const std::vector<std::string>& ports,
             std::chrono::milliseconds redrawEvery = kRedrawEvery);

  void portAdded(size_t port, const std::string& name) override;
  void benchCounts(const TBenchCounts& counts) override;
  void progress(size_t port, int percent) override;
  void status(size_t port, const std::string& text) override;
  void logger(size_t port, const std::string& text) override;
  void finished(size_t port, const TPortRecord& record) override;
  void summary(const std::vector<TPortRecord>& records) override;

  void stepAside() override { board_.hide(); }
  void comeBack() override;

private:
  void redrawWhenDue();
  void redraw();
  TBoardRow& rowOf(size_t port) { return board_.row(rowOf_[port]); }

  TBoardLines board_;
  const std::chrono::milliseconds redrawEvery_;
  std::chrono::steady_clock::time_point lastDraw_{};
  std::vector<TTimeLeft> timeLeft_;  // per port index
  // The board row of each port index: on a bench a logger plugged in again
  // on the same port takes over that port's row.
  std::vector<size_t> rowOf_;
  bool ended_ = false;
};

}  // namespace kelvry::cli
