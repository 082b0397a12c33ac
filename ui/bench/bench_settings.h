#pragma once

#include <string>

// What the bench window keeps between runs, apart from the main window,
// which keeps no settings: a technician sets up the bench once (which
// adapters, where the records go, how many loggers a case holds, which
// sounds) and finds it so the next morning. Kept per user, by Qt's settings
// (the registry on Windows, an INI file under the XDG configuration folder
// elsewhere).

namespace kelvry {

struct TBenchOptions {
  std::string filter;         // "vvvv:pppp[:serial]"; empty: every USB serial port
  std::string recordsFolder;  // report files and case reports; empty: none kept
  int expect = 0;             // loggers in a case; 0: until Stop
  bool soundDone = true;
  bool soundFailed = true;
};

// The saved options; a first start gets the defaults with the records in
// the user's documents, "Kelvry Bench".
TBenchOptions loadBenchOptions();
void saveBenchOptions(const TBenchOptions& options);

}  // namespace kelvry
