#include "firmware/update_file_text.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "firmware/update_file_bytes.h"

namespace kelvry {

namespace {

// UTF-16 text has a byte-order mark, or at least puts a null byte beside
// every ASCII character.
bool looksLikeUtf16(std::string_view text) {
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) return true;
  const std::string_view start = text.substr(0, std::min<size_t>(text.size(), 64) & ~size_t{1});
  if (start.empty()) return false;
  bool evenNull = true;
  bool oddNull = true;
  for (size_t i = 0; i < start.size(); ++i) {
    const bool isNull = start[i] == '\0';
    if (i % 2 == 0) evenNull = evenNull && isNull;
    if (i % 2 == 1) oddNull = oddNull && isNull;
  }
  return evenNull != oddNull;
}

// Tab, carriage return and line feed are the only control characters a text
// file of this kind can hold.
bool isBinaryByte(unsigned char c) { return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F; }

}  // namespace

std::optional<std::string> updateFileTextFault(std::string_view text) {
  if (text.empty()) return "the file is empty";
  if (looksLikeUtf16(text)) return "the file is UTF-16 text; save it as plain ASCII text";
  const auto binary = std::ranges::find_if(text, [](char c) { return isBinaryByte(static_cast<unsigned char>(c)); });
  if (binary != text.end()) {
    char detail[80];
    std::snprintf(detail, sizeof detail, "byte 0x%02X at offset %zu",
                  static_cast<unsigned>(static_cast<unsigned char>(*binary)),
                  static_cast<size_t>(binary - text.begin()));
    return std::string("the file holds binary data (") + detail + "), not the text of an update file";
  }
  if (text.find('\n') == std::string_view::npos) {
    if (text.find('\r') != std::string_view::npos)
      return "the lines of the file end with a carriage return alone; an update file's lines end with CR LF or LF";
    return "the file has no line breaks; an update file has one header entry or record per line";
  }
  return std::nullopt;
}

std::string readUpdateFileText(const std::string& path) {
  std::string text = readUpdateFileBytes(path);
  if (const auto fault = updateFileTextFault(text)) throw std::runtime_error(*fault);
  return text;
}

}  // namespace kelvry
