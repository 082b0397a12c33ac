#include "tools/logger_sim/sim_options.h"

#include <charconv>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>

namespace kelvry::sim {

namespace {

// Thrown inside the parser only; becomes the result's error text.
struct TOptionError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

long parseNumber(const std::string& text, long max, const std::string& option) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* first = text.data() + (hex ? 2 : 0);
  const char* last = text.data() + text.size();
  long value = 0;
  const auto [end, ec] = std::from_chars(first, last, value, hex ? 16 : 10);
  if (text.empty() || ec != std::errc() || end != last || value < 0 || value > max) {
    throw TOptionError(option + ": '" + text + "' is not a number from 0 to " + std::to_string(max));
  }
  return value;
}

uint16_t parseWord(const std::string& text, const std::string& option) {
  return static_cast<uint16_t>(parseNumber(text, 0xFFFF, option));
}

int parsePositive(const std::string& text, const std::string& option) {
  const long value = parseNumber(text, std::numeric_limits<int>::max(), option);
  if (value == 0) throw TOptionError(option + ": must be at least 1");
  return static_cast<int>(value);
}

void parseVersion(const std::string& text, const std::string& option, uint8_t& major, uint8_t& minor) {
  const auto dot = text.find('.');
  if (dot == std::string::npos) throw TOptionError(option + ": expected MAJOR.MINOR, got '" + text + "'");
  major = static_cast<uint8_t>(parseNumber(text.substr(0, dot), 0xFF, option));
  minor = static_cast<uint8_t>(parseNumber(text.substr(dot + 1), 0xFF, option));
}

TReplyFault parseFaultKind(const std::string& text) {
  static const std::map<std::string, TReplyFault> kKinds = {
      {"drop", TReplyFault::Drop},
      {"truncate", TReplyFault::Truncate},
      {"bad-checksum", TReplyFault::BadChecksum},
      {"exception-bit", TReplyFault::ExceptionBit},
      {"exception-bit-bad-checksum", TReplyFault::ExceptionBitBadChecksum},
      {"corrupt-char", TReplyFault::CorruptChar},
      {"nul", TReplyFault::Nul},
  };
  const auto found = kKinds.find(text);
  if (found == kKinds.end()) throw TOptionError("--fault: unknown kind '" + text + "'");
  return found->second;
}

TEchoPart parseEchoPart(const std::string& text) {
  static const std::map<std::string, TEchoPart> kParts = {
      {"first-data", TEchoPart::FirstDataByte}, {"middle-data", TEchoPart::MiddleDataByte},
      {"last-data", TEchoPart::LastDataByte},   {"address", TEchoPart::Address},
      {"type", TEchoPart::Type},                {"length", TEchoPart::Length},
  };
  const auto found = kParts.find(text);
  if (found == kParts.end()) throw TOptionError("--corrupt-part: unknown part '" + text + "'");
  return found->second;
}

void parseFault(const std::string& text, TLoggerFaults& faults) {
  const auto colon = text.find(':');
  if (colon == std::string::npos) throw TOptionError("--fault: expected K:KIND, got '" + text + "'");
  faults.replyFaultAt[parsePositive(text.substr(0, colon), "--fault")] = parseFaultKind(text.substr(colon + 1));
}

using TFlagHandler = std::function<void(TSimOptions&)>;
using TValueHandler = std::function<void(TSimOptions&, const std::string&)>;

const std::map<std::string, TFlagHandler>& flagOptions() {
  static const std::map<std::string, TFlagHandler> kFlags = {
      {"--help", [](TSimOptions& o) { o.help = true; }},
      {"--quiet", [](TSimOptions& o) { o.quiet = true; }},
      {"--exit-after-start", [](TSimOptions& o) { o.exitAfterStart = true; }},
      {"--bootloader", [](TSimOptions& o) { o.config.identity.startInBootloader = true; }},
      {"--corrupt-always", [](TSimOptions& o) { o.config.faults.corruptEchoAlways = true; }},
      {"--exception-bit", [](TSimOptions& o) { o.config.faults.exceptionBitAlways = true; }},
      {"--stay-in-application", [](TSimOptions& o) { o.config.faults.stayInApplication = true; }},
  };
  return kFlags;
}

const std::map<std::string, TValueHandler>& valueOptions() {
  using S = const std::string&;
  static const std::map<std::string, TValueHandler> kValues = {
      {"--class", [](TSimOptions& o, S v) { o.config.identity.appClass = parseWord(v, "--class"); }},
      {"--version",
       [](TSimOptions& o, S v) { parseVersion(v, "--version", o.config.identity.appVerH, o.config.identity.appVerL); }},
      {"--bl-class", [](TSimOptions& o, S v) { o.config.identity.blClass = parseWord(v, "--bl-class"); }},
      {"--bl-version",
       [](TSimOptions& o, S v) { parseVersion(v, "--bl-version", o.config.identity.blVerH, o.config.identity.blVerL); }},
      {"--platform", [](TSimOptions& o, S v) { o.config.identity.platform = parseWord(v, "--platform"); }},
      {"--print", [](TSimOptions& o, S v) { o.config.identity.print = parseWord(v, "--print"); }},
      {"--info", [](TSimOptions& o, S v) { o.config.identity.info = parseWord(v, "--info"); }},
      {"--upid-id", [](TSimOptions& o, S v) { o.config.identity.upidId = parseWord(v, "--upid-id"); }},
      {"--upid-info", [](TSimOptions& o, S v) { o.config.identity.upidInfo = parseWord(v, "--upid-info"); }},
      {"--upid-platform",
       [](TSimOptions& o, S v) { o.config.identity.upidPlatform = parseWord(v, "--upid-platform"); }},
      {"--upid-print", [](TSimOptions& o, S v) { o.config.identity.upidPrint = parseWord(v, "--upid-print"); }},
      {"--drop-reply",
       [](TSimOptions& o, S v) { o.config.faults.replyFaultAt[parsePositive(v, "--drop-reply")] = TReplyFault::Drop; }},
      {"--fault", [](TSimOptions& o, S v) { parseFault(v, o.config.faults); }},
      {"--corrupt-echo",
       [](TSimOptions& o, S v) {
         o.config.faults.corruptEchoOfLine = static_cast<int>(parseNumber(v, std::numeric_limits<int>::max(), "--corrupt-echo"));
       }},
      {"--corrupt-part", [](TSimOptions& o, S v) { o.config.faults.corruptEchoPart = parseEchoPart(v); }},
      {"--wrong-class",
       [](TSimOptions& o, S v) { o.config.faults.wrongClassAfterStart = parseWord(v, "--wrong-class"); }},
      {"--silent-from", [](TSimOptions& o, S v) { o.config.faults.silentFrom = parsePositive(v, "--silent-from"); }},
      {"--hang-up-at", [](TSimOptions& o, S v) { o.config.faults.hangUpAt = parsePositive(v, "--hang-up-at"); }},
      {"--baud", [](TSimOptions& o, S v) { o.config.faults.baud = parsePositive(v, "--baud"); }},
      {"--flash-out", [](TSimOptions& o, S v) {
         if (v.empty()) throw TOptionError("--flash-out: the path is empty");
         o.flashOut = v;
       }},
  };
  return kValues;
}

// Accepts "--option value" and "--option=value".
void parseOne(const std::vector<std::string>& args, size_t& i, TSimOptions& options) {
  std::string name = args[i];
  std::optional<std::string> value;
  if (const auto eq = name.find('='); eq != std::string::npos && name.rfind("--", 0) == 0) {
    value = name.substr(eq + 1);
    name.resize(eq);
  }
  if (const auto flag = flagOptions().find(name); flag != flagOptions().end()) {
    if (value) throw TOptionError(name + " takes no value");
    flag->second(options);
    return;
  }
  const auto handler = valueOptions().find(name);
  if (handler == valueOptions().end()) throw TOptionError("unknown option '" + name + "'");
  // "--version MAJ.MIN" sets the virtual logger's version; alone, as every
  // program's --version, it asks for this program's own.
  if (name == "--version" && !value && (i + 1 >= args.size() || args[i + 1].starts_with("--"))) {
    options.showVersion = true;
    return;
  }
  if (!value) {
    if (i + 1 >= args.size()) throw TOptionError(name + " needs a value");
    value = args[++i];
  }
  handler->second(options, *value);
}

}  // namespace

TSimOptionsResult parseSimOptions(const std::vector<std::string>& args) {
  TSimOptionsResult result;
  try {
    for (size_t i = 0; i < args.size(); ++i) parseOne(args, i, result.options);
  } catch (const TOptionError& error) {
    result.error = error.what();
  }
  return result;
}

std::string simUsage() {
  return R"(Usage: kelvry-logger-sim [options]

A virtual Kelvry data logger behind a pseudo-terminal. The first line on
standard output is the port to open; the logger runs until SIGINT or SIGTERM.

Identity:
  --bootloader            start in the bootloader (default: the application runs)
  --class C               application class (default 0x6617)
  --version MAJ.MIN       application version (default 2.92)
  --bl-class C            bootloader class (default 0xC802)
  --bl-version MAJ.MIN    bootloader version (default 3.0)
  --platform P            platform in the logger info (default 15)
  --print P               print in the logger info (default 56)
  --info W                info word in the logger info (default 0)
  --upid-id C             update class in the update-ID block (default 0x6617)
  --upid-info W           update info (default 0xFFFE)
  --upid-platform P       platform override (default 0xFFFF, none)
  --upid-print P          print override (default 0xFFFF, none)

Faults (exchanges are the messages received, counted from 1, wake-ups included):
  --drop-reply K          do not answer exchange K (repeatable)
  --fault K:KIND          alter the reply to exchange K (repeatable); KIND is one of
                          drop, truncate, bad-checksum, exception-bit,
                          exception-bit-bad-checksum, corrupt-char, nul
  --corrupt-echo I        corrupt the echo of data line I (0-based, counted from the erase)
  --corrupt-always        ... every time, not only once
  --corrupt-part PART     ... in this part: first-data (default), middle-data or last-data
                          (a data byte), address, type, or length (one data byte more);
                          the echo's checksum stays right
  --exception-bit         every frame reply flags an exception
  --wrong-class C         the started application reports class C
  --stay-in-application   ignore the bootloader jump
  --silent-from K         answer nothing from exchange K on
  --hang-up-at K          close the line when exchange K arrives
  --baud B                take as long as a line at B baud would

Output:
  --flash-out PATH        write the flash as Intel HEX lines after each start and at the end
  --exit-after-start      end once a started application has answered its identity query
  --quiet                 no log on standard error
  --help                  show this text
  --version               (without a value) show the program version
)";
}

}  // namespace kelvry::sim
