#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "firmware/bl3_file_header.h"
#include "firmware/firmware_sources.h"

// The update file: eight "key=value" header lines (bootloader, bootloader
// version, class, versionH, versionL, platform, print, date, in that order)
// followed by Intel HEX record lines. Lines end with CRLF or LF; a UTF-8
// byte-order mark in front of the first line is skipped.

namespace kelvry {

// A header value that is not an integer. The message names the value and
// its key, e.g. "'12a' is not a valid integer value (class)".
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text after the first "=" of `line` when the text before it is exactly
// `key` (case and blanks count); empty otherwise.
void getKeyValue(const std::string& line, const std::string& key, std::string& value);

// Reads a header integer: leading blanks, an optional sign, then decimal
// digits or hexadecimal digits behind "$", "x" or "0x" (either case). The
// number must fit in 32 bits, signed or unsigned; the result is its low
// 16 bits. Nothing else (an empty text, a trailing blank) converts.
std::optional<uint16_t> toHeaderWord(std::string_view text);

// Reads the next eight lines of `in`, which is at the start of an update
// file, into `header`, field by field in file order. Past the end of the file
// the lines read as empty. A key that is not the expected one reads as an
// empty value: an unknown bootloader (0xFFFF), an empty date, or a
// conversion error for a number. Throws EConvertError for the first number
// that does not convert (the fields before it are already written), and
// std::runtime_error when the stream cannot be read at all.
bool readFileHeader(std::istream& in, TBl3FileHeader& header);

// Loads an update file: its header, and every line without "=" as a record
// line. Nothing (file missing or unreadable, a header number that does not
// convert) when it cannot be used; `why`, when given, then says which file
// and what is wrong. Throws std::runtime_error only when the header read but
// the rest of the file could not be.
std::optional<TUpdateFile> loadUpdateFile(const std::string& path, std::string* why = nullptr);

// Reads only the header of an update file, for showing the file in the
// firmware overview. On any failure throws (EConvertError for a value that
// does not convert, std::runtime_error otherwise) with a message naming the
// file and what is wrong.
TBl3FileHeader readFileHeaderInfo(const std::string& path);

}  // namespace kelvry
