// kelvry-update-cli: the firmware update without a window, for scripts,
// servers and terminals.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/console/console.h"
#include "cli/console/program_arguments.h"
#include "driver/exit_status.h"
#include "driver/file_size_limit.h"
#include "driver/program_name.h"
#include "engine/status_codes.h"
#include "frontend/internal_switch.h"
#include "frontend/run_options.h"

namespace {

using namespace kelvry;
using namespace kelvry::cli;

// Without --log-dir the report, the summary and the case report go to
// standard output: a full disk or "> /dev/full" there must not pass for a
// run that kept its records. The loggers' own status wins when it is a
// failure already.
int statusWithOutputChecked(int status) {
  std::cout.flush();
  errno = 0;
  const bool flushed = std::fflush(stdout) == 0;
  const int reason = errno;
  if (flushed && std::cout.good() && !std::ferror(stdout)) return status;
  std::cerr << kCliPrefix << "standard output could not be written whole"
            << (reason != 0 ? std::string(": ") + std::strerror(reason) : std::string()) << std::endl;
  return status == kExitSuccess || status == err::ReadInfoOnly ? kExitRecordsIncomplete : status;
}

int run(TArguments arguments, bool ownConsole) {
  // Nothing given, in a console of its own: a double click in Explorer.
  if (ownConsole && arguments.size() <= 1) arguments.push_back("--help");
  try {
    const TCliParseResult parsed = parseCliOptions(arguments);
    if (!parsed.error.empty()) {
      std::cerr << kCliPrefix << parsed.error << " (see --help)" << std::endl;
      return kExitUsage;
    }
    TCliOptions options = parsed.options;

    const bool internal = ReadInternalSwitch();
    // The option words, behind a program name as the window's reader expects.
    TArguments words{arguments.empty() ? std::string(kCliName) : arguments.front()};
    words.insert(words.end(), options.optionWords.begin(), options.optionWords.end());
    options.run = runOptionsFrom(words, internal);
    if (const std::string refused = internalModeError(options, internal); !refused.empty()) {
      std::cerr << kCliPrefix << refused << std::endl;
      return kExitUsage;
    }
    return runCommand(options, TStreams{std::cout, std::cerr, std::cin});
  } catch (const std::exception& e) {
    std::cerr << kCliPrefix << "unexpected failure: " << e.what() << std::endl;
    return kExitUnexpected;
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  const TUtf8Console utf8Console;
  keepRunningPastFileSizeLimit();
  // Started by a double click, the program would flash a console and close
  // it: it shows its help instead, and the console stays until a key.
  const bool ownConsole = ownsConsole();
  const int status = statusWithOutputChecked(run(programArguments(argc, argv), ownConsole));
  if (ownConsole) waitForKeyBeforeClosing(std::cout);
  return status;
}
