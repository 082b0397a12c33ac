#include "frontend/ini_value.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <cctype>
#include <climits>

namespace kelvry {

namespace {

bool isIniSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\f' || ch == '\v'; }

bool isLineSpecial(char ch) { return ch == '\n' || ch == '\r' || ch == '"' || ch == ';' || ch == '=' || ch == '\\'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isIniSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isIniSpace(text.back())) text.remove_suffix(1);
  return text;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// One logical line: comments end it, quotes and backslashes may carry it
// over line breaks. `equals` is the first '=' outside quotes, if any.
struct TIniLine {
  std::string_view text;
  std::optional<size_t> equals;
};

class TLineReader {
 public:
  explicit TLineReader(std::string_view data) : data_(data) {}

  std::optional<TIniLine> next() {
    bool inQuotes = false;
    std::optional<size_t> equals;
    size_t start = pos_;
    while (start < data_.size() && isIniSpace(data_[start])) ++start;
    size_t i = start;
    while (i < data_.size()) {
      const char ch = data_[i];
      if (!isLineSpecial(ch)) {
        ++i;
        continue;
      }
      ++i;
      if (ch == '=') {
        if (!inQuotes && !equals) equals = i - 1 - start;
      } else if (ch == '\n' || ch == '\r') {
        if (i == start + 1) {
          ++start;
        } else if (!inQuotes) {
          --i;
          break;
        }
      } else if (ch == '\\') {
        skipEscapedCharacter(i);
      } else if (ch == '"') {
        inQuotes = !inQuotes;
      } else if (i == start + 1) {  // ';' opens a comment line
        while (i < data_.size() && data_[i] != '\n' && data_[i] != '\r') ++i;
        while (i < data_.size() && isIniSpace(data_[i])) ++i;
        start = i;
      } else if (!inQuotes) {  // ';' ends the line; the comment is read as the next line
        --i;
        break;
      }
    }
    pos_ = i;
    if (i <= start) return std::nullopt;
    return TIniLine{data_.substr(start, i - start), equals};
  }

 private:
  void skipEscapedCharacter(size_t& i) const {
    if (i >= data_.size()) return;
    const char escaped = data_[i++];
    if (i < data_.size()) {
      const char after = data_[i];
      if ((escaped == '\n' && after == '\r') || (escaped == '\r' && after == '\n')) ++i;
    }
  }

  std::string_view data_;
  size_t pos_ = 0;
};

// Keys and section names: "%XX" is a byte, "%UXXXX" a UTF-16 unit; any
// other '%' stays as it is.
std::u16string unescapedKey(std::string_view key) {
  std::u16string result;
  auto hexValue = [&](size_t from, size_t digits) -> std::optional<unsigned> {
    if (from + digits > key.size()) return std::nullopt;
    unsigned value = 0;
    for (size_t i = from; i < from + digits; ++i) {
      const char ch = static_cast<char>(std::tolower(static_cast<unsigned char>(key[i])));
      const char* digit = std::strchr("0123456789abcdef", ch);
      if (ch == '\0' || digit == nullptr) return std::nullopt;
      value = value * 16 + static_cast<unsigned>(digit - "0123456789abcdef");
    }
    return value;
  };
  for (size_t i = 0; i < key.size(); ++i) {
    if (key[i] == '%') {
      if (i + 1 < key.size() && key[i + 1] == 'U') {
        if (const auto unit = hexValue(i + 2, 4)) {
          result += static_cast<char16_t>(*unit);
          i += 5;
          continue;
        }
      } else if (const auto byte = hexValue(i + 1, 2)) {
        result += static_cast<char16_t>(*byte);
        i += 2;
        continue;
      }
    }
    result += static_cast<char16_t>(static_cast<unsigned char>(key[i]));
  }
  return result;
}

// UTF-8 to UTF-16; a broken sequence becomes U+FFFD as in Qt's decoder.
void appendUtf8(std::u16string& out, std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    char32_t code = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    bool valid = length != 0 && i + length <= bytes.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const auto follow = static_cast<unsigned char>(bytes[i + k]);
      valid = (follow & 0xC0) == 0x80;
      code = (code << 6) | (follow & 0x3F);
    }
    if (!valid) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (code >> 10));
      out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
    i += length;
  }
}

struct TUnescapedValue {
  std::u16string text;
  bool isList = false;
};

void chopTrailingSpaces(std::u16string& text, size_t limit) {
  while (text.size() > limit && (text.back() == u' ' || text.back() == u'\t')) text.pop_back();
}

// A value: quotes group, backslash escapes as in C (with \x and octal of any
// length), a comma outside quotes makes a list.
TUnescapedValue unescapedValue(std::string_view str) {
  static constexpr std::array<std::pair<char, char16_t>, 11> kEscapes{{{'a', u'\a'},
                                                                       {'b', u'\b'},
                                                                       {'f', u'\f'},
                                                                       {'n', u'\n'},
                                                                       {'r', u'\r'},
                                                                       {'t', u'\t'},
                                                                       {'v', u'\v'},
                                                                       {'"', u'"'},
                                                                       {'?', u'?'},
                                                                       {'\'', u'\''},
                                                                       {'\\', u'\\'}}};
  TUnescapedValue value;
  std::u16string& text = value.text;
  bool inQuotes = false;
  bool quoted = false;
  size_t i = 0;
  auto skipSpaces = [&] {
    while (i < str.size() && (str[i] == ' ' || str[i] == '\t')) ++i;
  };
  auto isHexDigit = [](char ch) { return std::isxdigit(static_cast<unsigned char>(ch)) != 0; };
  auto hexDigitValue = [](char ch) {
    return static_cast<char16_t>(std::isdigit(static_cast<unsigned char>(ch)) ? ch - '0'
                                                                              : std::tolower(ch) - 'a' + 10);
  };
  skipSpaces();
  size_t chopLimit = text.size();
  while (i < str.size()) {
    const char ch = str[i];
    if (ch == '\\') {
      ++i;
      if (i >= str.size()) return value;  // a lone backslash at the end keeps the spaces before it
      const char escaped = str[i++];
      const auto simple = std::find_if(kEscapes.begin(), kEscapes.end(),
                                       [&](const auto& entry) { return entry.first == escaped; });
      if (simple != kEscapes.end()) {
        text += simple->second;
        chopLimit = text.size();
        continue;
      }
      if (escaped == 'x' && i < str.size() && isHexDigit(str[i])) {
        char16_t unit = 0;
        while (i < str.size() && isHexDigit(str[i])) unit = static_cast<char16_t>((unit << 4) + hexDigitValue(str[i++]));
        text += unit;
      } else if (escaped >= '0' && escaped <= '7') {
        char16_t unit = static_cast<char16_t>(escaped - '0');
        while (i < str.size() && str[i] >= '0' && str[i] <= '7') unit = static_cast<char16_t>((unit << 3) + (str[i++] - '0'));
        text += unit;
      } else if (escaped == '\n' || escaped == '\r') {
        if (i < str.size() && (str[i] == '\n' || str[i] == '\r') && str[i] != escaped) ++i;
      }
      chopLimit = text.size();
    } else if (ch == '"') {
      ++i;
      quoted = true;
      inQuotes = !inQuotes;
      if (!inQuotes) {
        skipSpaces();
        chopLimit = text.size();
      }
    } else if (ch == ',' && !inQuotes) {
      if (!quoted) chopTrailingSpaces(text, chopLimit);
      value.isList = true;
      text.clear();
      quoted = false;
      ++i;
      skipSpaces();
      chopLimit = text.size();
    } else {
      size_t j = i + 1;
      while (j < str.size() && str[j] != '\\' && str[j] != '"' && str[j] != ',') ++j;
      appendUtf8(text, str.substr(i, j - i));
      i = j;
    }
  }
  if (!quoted) chopTrailingSpaces(text, chopLimit);
  return value;
}

// "@Variant(...)" holds a serialized value: a 32-bit type number and the
// value, big-endian. Only the integer types and text can switch anything.
TIniValue variantValue(const std::u16string& body) {
  std::string bytes;
  for (const char16_t unit : body) bytes += unit > 0xFF ? '?' : static_cast<char>(unit);
  auto readUnsigned = [&](size_t at, size_t size) -> std::optional<uint64_t> {
    if (at + size > bytes.size()) return std::nullopt;
    uint64_t value = 0;
    for (size_t k = 0; k < size; ++k) value = (value << 8) | static_cast<unsigned char>(bytes[at + k]);
    return value;
  };
  TIniValue result;
  const auto type = readUnsigned(0, 4);
  if (!type) return result;
  constexpr uint64_t kInt = 2, kUInt = 3, kLongLong = 4, kULongLong = 5, kString = 10;
  const size_t size = (*type == kLongLong || *type == kULongLong) ? 8 : 4;
  if (*type == kInt || *type == kUInt || *type == kLongLong || *type == kULongLong) {
    uint64_t number = readUnsigned(4, size).value_or(0);
    if (*type == kInt) number = static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(number)));
    if (*type == kULongLong && number > static_cast<uint64_t>(INT64_MAX)) return result;
    result.kind = TIniValue::TKind::Integer;
    result.integer = static_cast<int64_t>(number);
  } else if (*type == kString) {
    result.kind = TIniValue::TKind::Text;
    const auto length = readUnsigned(4, 4);
    if (!length || *length == 0xFFFFFFFF || 8 + *length > bytes.size()) return result;
    for (size_t k = 0; k + 1 < *length; k += 2) result.text += static_cast<char16_t>(*readUnsigned(8 + k, 2));
  }
  return result;
}

bool startsWith(const std::u16string& text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && std::u16string_view(text).substr(0, prefix.size()) == prefix;
}

// A text that starts with '@' may name a type.
TIniValue typedValue(const std::u16string& text) {
  TIniValue value;
  value.kind = TIniValue::TKind::Text;
  value.text = text;
  if (!startsWith(text, u"@")) return value;
  if (text.back() == u')') {
    if (text == u"@Invalid()") return TIniValue{};
    if (startsWith(text, u"@String(")) {
      value.text = text.substr(8, text.size() - 9);
      return value;
    }
    // The closing parenthesis is part of what the value is read from.
    if (startsWith(text, u"@Variant(")) return variantValue(text.substr(9));
    for (const std::u16string_view other : {u"@ByteArray(", u"@DateTime(", u"@Rect(", u"@Size(", u"@Point("}) {
      if (startsWith(text, other)) return TIniValue{};
    }
  }
  if (startsWith(text, u"@@")) value.text = text.substr(1);
  return value;
}

}  // namespace

std::optional<TIniValue> readIniTopLevelValue(std::string_view fileText, std::string_view key) {
  if (fileText.substr(0, 3) == "\xEF\xBB\xBF") fileText.remove_prefix(3);
  std::u16string wantedKey;
  appendUtf8(wantedKey, key);
  bool topLevel = true;
  std::optional<TIniValue> found;
  TLineReader lines(fileText);
  while (const auto line = lines.next()) {
    if (line->text.front() == '[') {
      const size_t close = line->text.find(']');
      const std::string_view section =
          trimmed(line->text.substr(1, (close == std::string_view::npos ? line->text.size() : close) - 1));
      topLevel = equalsNoCase(section, "general");
      continue;
    }
    if (!topLevel || !line->equals) continue;
    if (unescapedKey(trimmed(line->text.substr(0, *line->equals))) != wantedKey) continue;
    const TUnescapedValue value = unescapedValue(line->text.substr(*line->equals + 1));
    found = value.isList ? TIniValue{} : typedValue(value.text);
  }
  return found;
}

}  // namespace kelvry
