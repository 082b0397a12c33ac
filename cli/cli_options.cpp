#include "cli/cli_options.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QRegularExpression>

#include <memory>

#include "kelvry_version.h"

namespace kelvry::cli {

namespace {

// Owns the parser together with its options, which the parser refers to.
struct TParser {
  QCommandLineParser parser;
  QCommandLineOption help{{"h", "help"}, "Show this help and exit."};
  QCommandLineOption version{"version", "Show the program version and exit."};
  QCommandLineOption port{"port", "Update the logger connected to serial port <port> (e.g. /dev/ttyUSB0; auto: "
                                "the only USB serial port present).",
                                "port"};
  QCommandLineOption simulate{"simulate", "Update a virtual logger on a pseudo-terminal instead of a real one."};
  QCommandLineOption listPorts{"list-ports", "List the USB serial ports present, with their USB identity."};
  QCommandLineOption listFirmware{"list-firmware", "List the firmware this program can install."};
  QCommandLineOption fileInfo{"file-info", "Show the header of update file <path> (internal mode).", "path"};
  QCommandLineOption file{"file", "Update from update file <path> instead of the built-in images (internal mode).",
                          "path"};
  QCommandLineOption infoOnly{"info-only", "Read the logger's identity and update data only; erase nothing "
                                           "(internal mode)."};
  QCommandLineOption yes{"yes", "Answer the confirmation question with Yes."};
  QCommandLineOption trace{"trace", "Print every worker notification as \"notify CODE VALUE\"."};
  QCommandLineOption maxRepeats{"max-repeats",
                                "Repeat a failed update automatically at most <n> times (default: 3); \"unlimited\" "
                                "repeats until the update succeeds or is cancelled.",
                                "n"};

  TParser() {
    parser.setApplicationDescription("Updates the firmware of a Kelvry data logger through its serial bootloader.");
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.addOptions(
        {help, version, port, simulate, listPorts, listFirmware, fileInfo, file, infoOnly, yes, trace, maxRepeats});
    parser.addPositionalArgument("words", "Option words of the desktop program: cc:-, cf:-, ci:-, f:+ (internal "
                                          "mode) and mf:+ or mf:- (always).",
                                 "[words...]");
  }
};

// The window's option names; their values keep the window's meaning (a value
// that does not act is ignored there, and here too).
bool isOptionWord(const QString& argument) {
  static const QRegularExpression kWord("^(cc|cf|ci|mf|f|cp|upid):", QRegularExpression::CaseInsensitiveOption);
  return kWord.match(argument).hasMatch();
}

std::string chooseAction(const TParser& p, TCliOptions& options) {
  if (p.parser.isSet(p.help)) {
    options.action = TAction::Help;
    return {};
  }
  if (p.parser.isSet(p.version)) {
    options.action = TAction::Version;
    return {};
  }
  if (p.parser.isSet(p.port) && options.simulate) return "--port and --simulate exclude each other";
  const bool update = p.parser.isSet(p.port) || options.simulate;
  const int actions = int{update} + int{p.parser.isSet(p.listPorts)} + int{p.parser.isSet(p.listFirmware)} +
                      int{p.parser.isSet(p.fileInfo)};
  if (actions == 0)
    return "nothing to do: give --port PORT, --simulate, --list-ports, --list-firmware or --file-info PATH";
  if (actions > 1) return "give only one of --port/--simulate, --list-ports, --list-firmware and --file-info";
  if (update) options.action = TAction::Update;
  if (p.parser.isSet(p.listPorts)) options.action = TAction::ListPorts;
  if (p.parser.isSet(p.listFirmware)) options.action = TAction::ListFirmware;
  if (p.parser.isSet(p.fileInfo)) options.action = TAction::FileInfo;
  return {};
}

std::string checkModifiers(const TParser& p, TCliOptions& options) {
  const bool update = options.action == TAction::Update;
  if (p.parser.isSet(p.port) && options.port.empty()) return "--port needs a port name";
  // One port per run, until several ports are taken on purpose: a second
  // --port must not silently replace the first.
  if (p.parser.values(p.port).size() > 1) return "give --port only once";
  if (p.parser.isSet(p.file) && options.updateFile.empty()) return "--file needs a file name";
  if (p.parser.isSet(p.fileInfo) && options.fileInfoPath.empty()) return "--file-info needs a file name";
  if (!options.updateFile.empty() && !update && options.action != TAction::ListFirmware)
    return "--file applies to an update or to --list-firmware only";
  if (options.infoOnly && !update) return "--info-only applies to an update only";
  return {};
}

std::string readMaxRepeats(const TParser& p, TCliOptions& options) {
  if (!p.parser.isSet(p.maxRepeats)) return {};
  const QString text = p.parser.value(p.maxRepeats);
  if (text == "unlimited") {
    options.maxRepeats.reset();
    return {};
  }
  bool ok = false;
  const int n = text.toInt(&ok);
  if (!ok || n < 0)
    return "--max-repeats needs a whole number of 0 or more or \"unlimited\", not '" + text.toStdString() + "'";
  options.maxRepeats = n;
  return {};
}

std::string readOptionWords(const TParser& p, TCliOptions& options) {
  for (const QString& word : p.parser.positionalArguments()) {
    if (!isOptionWord(word))
      return "unknown argument '" + word.toStdString() + "' (option words are cc:-, cf:-, ci:-, mf:+, mf:-, f:+)";
    options.optionWords << word;
  }
  return {};
}

}  // namespace

TCliParseResult parseCliOptions(const QStringList& arguments) {
  TParser p;
  TCliParseResult result;
  if (!p.parser.parse(arguments)) {
    result.error = p.parser.errorText().toStdString();
    return result;
  }
  TCliOptions& options = result.options;
  options.port = p.parser.value(p.port).toStdString();
  options.simulate = p.parser.isSet(p.simulate);
  options.updateFile = p.parser.value(p.file).toStdString();
  options.fileInfoPath = p.parser.value(p.fileInfo).toStdString();
  options.infoOnly = p.parser.isSet(p.infoOnly);
  options.yes = p.parser.isSet(p.yes);
  options.trace = p.parser.isSet(p.trace);

  for (const auto& step : {chooseAction, checkModifiers, readMaxRepeats, readOptionWords}) {
    result.error = step(p, options);
    if (!result.error.empty()) return result;
    if (options.action == TAction::Help || options.action == TAction::Version) return result;
  }
  return result;
}

std::string internalModeError(const TCliOptions& options, bool internalMode) {
  if (internalMode) return {};
  if (options.action == TAction::FileInfo) return "--file-info is only available in internal mode";
  if (!options.updateFile.empty()) return "--file is only available in internal mode";
  if (options.infoOnly) return "--info-only is only available in internal mode";
  return {};
}

std::string helpText() {
  TParser p;
  return p.parser.helpText().toStdString() +
         "\n"
         "Output:\n"
         "  stdout  the report, one line per step as \"hh-nn-ss -> text\", then the\n"
         "          closing message of the job alone as the last line.\n"
         "  stderr  a progress bar with the current status (only on a terminal), the\n"
         "          confirmation question, and errors of the command line.\n"
         "\n"
         "Exit status:\n"
         "  0       success (update completed, or the listing was printed)\n"
         "  1       unexpected failure\n"
         "  2       usage error, unreadable update file, or an unconfirmed update\n"
         "          without a terminal\n"
         "  10      serial port not ready       11  serial read/write error\n"
         "  20      cancelled (Ctrl-C, SIGTERM, SIGHUP, SIGQUIT, or the question\n"
         "          answered No)\n"
         "  21      cancelled after the new firmware was started; its class was not\n"
         "          checked\n"
         "  30      communication failed and --max-repeats was reached\n"
         "  40-47   the logger refused or the update failed (44: read-back error and\n"
         "          --max-repeats was reached)\n"
         "  70      --info-only: the logger's data were read\n"
         "\n"
         "Repeats:\n"
         "  A communication failure repeats the update 1.5 s later, a read-back error\n"
         "  at once, at most 3 times unless --max-repeats says otherwise;\n"
         "  --max-repeats unlimited repeats until the update succeeds or is cancelled.\n";
}

std::string versionText() { return std::string("kelvry-update-cli ") + KELVRY_VERSION; }

}  // namespace kelvry::cli
