#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/fleet_board.h"
#include "cli/run_output.h"
#include "frontend/time_left.h"

// The live board of several ports on stderr: a row per port with its
// logger, percent, time left and status, on screen from the start until the
// summary.

namespace kelvry::cli {

class TLiveBoard final : public IRunOutput, public ILiveDisplay {
public:
  TLiveBoard(std::ostream& terminal, bool isTerminal, int columns, const std::vector<std::string>& ports);

  void progress(size_t port, int percent) override;
  void status(size_t port, const std::string& text) override;
  void logger(size_t port, const std::string& text) override;
  void finished(size_t port, const TPortRecord& record) override;
  void summary(const std::vector<TPortRecord>& records) override;

  void stepAside() override { board_.hide(); }
  void comeBack() override;

private:
  TFleetBoard board_;
  std::vector<TTimeLeft> timeLeft_;
  bool ended_ = false;
};

}  // namespace kelvry::cli
