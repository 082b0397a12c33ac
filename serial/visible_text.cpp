#include "serial/visible_text.h"

#include <cstdio>

namespace kelvry {

namespace {

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at `text[at]`, or 0.
size_t utf8SequenceLength(std::string_view text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  else return 0;
  if (at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i)
    if (!isContinuation(static_cast<unsigned char>(text[at + i]))) return 0;
  const auto second = static_cast<unsigned char>(text[at + 1]);
  // Overlong forms, surrogates and code points past U+10FFFF.
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
      (lead == 0xF4 && second > 0x8F))
    return 0;
  return length;
}

// U+0080 to U+009F: an 8-bit terminal reads U+009B as the start of a control
// sequence.
bool isC1Control(std::string_view text, size_t at, size_t length) {
  return length == 2 && static_cast<unsigned char>(text[at]) == 0xC2 &&
         static_cast<unsigned char>(text[at + 1]) <= 0x9F;
}

// The code point of the well-formed sequence of `length` bytes at `at`.
char32_t codePoint(std::string_view text, size_t at, size_t length) {
  const auto lead = static_cast<unsigned char>(text[at]);
  char32_t value = length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
  for (size_t i = 1; i < length; ++i) value = (value << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
  return value;
}

// Characters that are not seen yet change what is shown: format characters
// (Unicode category Cf) such as U+202E, which turns the text after it
// right to left, or U+200B, a space of no width that makes two serial
// numbers look alike, and the line and paragraph separators, which break a
// table's line.
bool isInvisibleFormat(char32_t c) {
  struct TRange {
    char32_t first, last;
  };
  static constexpr TRange kRanges[] = {
      {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},
      {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F},   {0x2028, 0x202E},
      {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD},
      {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
      {0xE0020, 0xE007F},
  };
  for (const TRange& range : kRanges)
    if (c >= range.first && c <= range.last) return true;
  return false;
}

void appendEscaped(std::string& out, std::string_view bytes) {
  for (const char c : bytes) {
    char code[5];
    std::snprintf(code, sizeof code, "\\x%02x", static_cast<unsigned char>(c));
    out += code;
  }
}

}  // namespace

std::string visibleText(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (size_t at = 0; at < raw.size();) {
    const auto c = static_cast<unsigned char>(raw[at]);
    if (c < 0x80) {
      if (c < 0x20 || c == 0x7F)
        appendEscaped(out, raw.substr(at, 1));
      else
        out += static_cast<char>(c);
      ++at;
      continue;
    }
    const size_t length = utf8SequenceLength(raw, at);
    if (length == 0) {
      appendEscaped(out, raw.substr(at, 1));
      ++at;
    } else if (isC1Control(raw, at, length) || isInvisibleFormat(codePoint(raw, at, length))) {
      appendEscaped(out, raw.substr(at, length));
      at += length;
    } else {
      out += raw.substr(at, length);
      at += length;
    }
  }
  return out;
}

}  // namespace kelvry
