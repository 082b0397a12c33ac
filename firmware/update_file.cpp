#include "firmware/update_file.h"

#include <charconv>
#include <sstream>
#include <vector>

#include "firmware/firmware_sources.h"
#include "firmware/image_check.h"
#include "firmware/update_file_text.h"

namespace kelvry {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kEndOfFileLine = ":00000001FF";

// getline leaves the CR of a CRLF line break behind.
void dropCarriageReturn(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

// The next line without its line break; empty once the file is exhausted, so
// a short header fails at its first missing number instead of reading junk.
std::string readTextLine(std::istream& in) {
  std::string line;
  if (!std::getline(in, line)) {
    if (in.bad()) throw std::runtime_error("the file cannot be read");
    return {};
  }
  dropCarriageReturn(line);
  return line;
}

// Editors on some systems put a byte-order mark in front of a UTF-8 file; it
// would otherwise spoil the first key.
void stripByteOrderMark(std::string& firstLine) {
  if (firstLine.starts_with(kByteOrderMark)) firstLine.erase(0, kByteOrderMark.size());
}

std::string valueOf(const std::string& line, const std::string& key) {
  std::string value;
  getKeyValue(line, key, value);
  return value;
}

// Only the exact digits count: a blank or any other text means the
// bootloader generation is unknown, which no logger matches.
uint16_t bootloaderGeneration(const std::string& value) {
  if (value == "2") return 2;
  if (value == "3") return 3;
  return 0xFFFF;
}

uint16_t headerNumber(const std::string& line, const std::string& key) {
  const std::string value = valueOf(line, key);
  const auto word = toHeaderWord(value);
  if (!word) throw EConvertError("'" + value + "' is not a valid integer value (" + key + ")");
  return *word;
}

// The length of a "$", "x" or "0x" in front of hexadecimal digits; 0 for a
// decimal number.
size_t hexPrefixLength(std::string_view text) {
  if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) return 1;
  if (text.starts_with("0x") || text.starts_with("0X")) return 2;
  return 0;
}

std::string describe(const std::string& path, const std::string& problem) {
  return "\"" + path + "\": " + problem;
}

// The file is read whole and checked before any line of it is parsed, so
// that a FIFO, a device or a file in the wrong encoding is refused at once
// with its real fault.
std::istringstream openUpdateFile(const std::string& path) { return std::istringstream(readUpdateFileText(path)); }

// Every line that holds no "=": the header drops out by itself, and so does
// any other key line, wherever it stands.
std::vector<std::string> recordLines(std::istream& in) {
  std::vector<std::string> lines;
  std::string line;
  bool first = true;
  while (std::getline(in, line)) {
    dropCarriageReturn(line);
    if (first) stripByteOrderMark(line);
    first = false;
    if (line.find('=') == std::string::npos) lines.push_back(std::move(line));
  }
  if (in.bad()) throw std::runtime_error("the file cannot be read");
  return lines;
}

}  // namespace

void getKeyValue(const std::string& line, const std::string& key, std::string& value) {
  value.clear();
  const size_t equals = line.find('=');
  if (equals == std::string::npos) return;
  if (std::string_view(line).substr(0, equals) == key) value = line.substr(equals + 1);
}

std::optional<uint16_t> toHeaderWord(std::string_view text) {
  const size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return std::nullopt;
  text.remove_prefix(start);

  const bool negative = text.starts_with('-');
  if (negative || text.starts_with('+')) text.remove_prefix(1);
  const size_t prefixLength = hexPrefixLength(text);
  const int base = prefixLength > 0 ? 16 : 10;
  text.remove_prefix(prefixLength);
  if (text.empty()) return std::nullopt;

  // from_chars takes neither a sign nor blanks, so whatever is left must be
  // digits of the base and nothing else.
  uint64_t magnitude = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, magnitude, base);
  if (error != std::errc{} || stop != end) return std::nullopt;

  constexpr uint64_t kUnsignedLimit = 0xFFFFFFFFu;
  constexpr uint64_t kNegativeLimit = 0x80000000u;
  if (magnitude > (negative ? kNegativeLimit : kUnsignedLimit)) return std::nullopt;
  const uint64_t twosComplement = negative ? (0 - magnitude) : magnitude;
  return static_cast<uint16_t>(twosComplement & 0xFFFF);
}

bool readFileHeader(std::istream& in, TBl3FileHeader& header) {
  std::string first = readTextLine(in);
  stripByteOrderMark(first);
  header.tarvo_bl = bootloaderGeneration(valueOf(first, "bootloader"));
  header.tarvo_bl_ver = headerNumber(readTextLine(in), "bootloader version");
  header.tarvo_class = headerNumber(readTextLine(in), "class");
  header.tarvo_verH = headerNumber(readTextLine(in), "versionH");
  header.tarvo_verL = headerNumber(readTextLine(in), "versionL");
  header.tarvo_platform = headerNumber(readTextLine(in), "platform");
  header.tarvo_print = headerNumber(readTextLine(in), "print");
  header.tarvo_date = valueOf(readTextLine(in), "date");
  return true;
}

std::optional<TUpdateFile> loadUpdateFile(const std::string& path, std::string* why) {
  TUpdateFile file;
  std::istringstream in;
  try {
    in = openUpdateFile(path);
    readFileHeader(in, file.header);
  } catch (const std::exception& e) {
    if (why) *why = describe(path, e.what());
    return std::nullopt;
  }

  in.clear();
  in.seekg(0);
  try {
    if (in.fail()) throw std::runtime_error("the file cannot be read again from its start");
    file.lines = recordLines(in);
  } catch (const std::exception& e) {
    throw std::runtime_error(describe(path, e.what()));
  }
  // A file the bootloader cannot take is refused here, before any logger
  // is erased for it. One without its end line is left to the job, which
  // refuses it before the erase as well.
  if (file.lines.size() >= 2 && file.lines.back() == kEndOfFileLine) {
    if (const auto problem = checkImageLines(file.lines)) {
      if (why) *why = describe(path, problem->what);
      return std::nullopt;
    }
  }
  return file;
}

TBl3FileHeader readFileHeaderInfo(const std::string& path) {
  TBl3FileHeader header;
  try {
    std::istringstream in = openUpdateFile(path);
    readFileHeader(in, header);
  } catch (const EConvertError& e) {
    throw EConvertError(describe(path, e.what()));
  } catch (const std::exception& e) {
    throw std::runtime_error(describe(path, e.what()));
  }
  return header;
}

}  // namespace kelvry
