#pragma once

#include <iosfwd>
#include <string>

#include "frontend/time_left.h"

// A one-line progress bar with the time the programming still takes and the
// current status text, redrawn in place on a terminal. When the stream is not a terminal it draws nothing, so logs
// and pipes get no control characters.

namespace kelvry::cli {

class TProgressLine {
public:
  TProgressLine(std::ostream& terminal, bool isTerminal, int columns);

  void setPercent(int percent);
  void setStatus(const std::string& text);
  // Shows the bar with its current contents, unless it is on screen already.
  void show();
  // Removes the bar from the screen, e.g. before other output is written.
  void hide();
  // The terminal's alert sound.
  void beep();

private:
  void draw();

  std::ostream& terminal_;
  bool isTerminal_;
  int columns_;
  bool visible_ = false;
  // The line on screen: a notification that changes nothing visible writes
  // nothing, so a terminal far away is not sent the same line again.
  std::string drawn_;
  int percent_ = 0;
  TTimeLeft timeLeft_;
  std::string status_;
};

}  // namespace kelvry::cli
