// kelvry-logger-sim: a virtual logger on a pseudo-terminal, for trying the
// update tool without hardware and for driving it from scripts.

#include <signal.h>

#include <chrono>
#include <ctime>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "kelvry_version.h"
#include "tools/logger_sim/pty_logger.h"
#include "tools/logger_sim/sim_options.h"

namespace {

using namespace kelvry::sim;

constexpr auto kPollInterval = std::chrono::milliseconds(100);
// Lets the last reply drain from the line before it closes.
constexpr auto kExitGrace = std::chrono::milliseconds(300);

void logLine(const std::string& text) { std::cerr << "kelvry-logger-sim: " << text << std::endl; }

// Blocks the stop signals in every thread, so that the main loop can take
// them with sigtimedwait and shut down in order.
sigset_t blockStopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  return signals;
}

bool stopSignalWithin(const sigset_t& signals, std::chrono::milliseconds wait) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
  const timespec timeout = {static_cast<time_t>(seconds.count()),
                            static_cast<long>(std::chrono::nanoseconds(wait - seconds).count())};
  return sigtimedwait(&signals, nullptr, &timeout) > 0;
}

void saveFlash(const TPtyLogger& logger, const std::string& path, bool quiet) {
  if (path.empty()) return;
  const bool saved = logger.writeFlash(path);
  if (!saved) {
    logLine("cannot write the flash to " + path);
  } else if (!quiet) {
    logLine("flash written to " + path);
  }
}

int run(TSimOptions options) {
  const sigset_t signals = blockStopSignals();
  if (!options.quiet) options.config.onEvent = logLine;
  TPtyLogger logger(std::move(options.config));
  std::cout << logger.portPath() << std::endl;
  if (!options.quiet) logLine("logger ready on " + logger.portPath());

  int savedStarts = 0;
  while (!stopSignalWithin(signals, kPollInterval)) {
    const TLoggerStats stats = logger.stats();
    if (stats.applicationStarts > savedStarts) {
      savedStarts = stats.applicationStarts;
      saveFlash(logger, options.flashOut, options.quiet);
    }
    if (stats.hungUp) break;
    if (options.exitAfterStart && stats.startedIdentityReplies > 0) {
      std::this_thread::sleep_for(kExitGrace);
      break;
    }
  }
  logger.stop();
  saveFlash(logger, options.flashOut, options.quiet);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const TSimOptionsResult parsed = parseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    std::cerr << "kelvry-logger-sim: " << parsed.error << "\n\n" << simUsage();
    return 2;
  }
  if (parsed.options.help) {
    std::cout << simUsage();
    return 0;
  }
  if (parsed.options.showVersion) {
    std::cout << "kelvry-logger-sim " << KELVRY_VERSION << std::endl;
    return 0;
  }
  try {
    return run(parsed.options);
  } catch (const std::exception& error) {
    logLine(error.what());
    return 1;
  }
}
