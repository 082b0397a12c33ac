#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Reads one value of the top-level group from the text of an ini settings
// file, the way Qt's settings store reads its own files on Unix: sections
// ("[General]" is the top level), ';' comments, quotes, backslash escapes,
// line continuations, lists, percent-encoded keys, and "@..." typed values.
// The command line must see exactly the value the window sees.

namespace kelvry {

struct TIniValue {
  enum class TKind { Text, Integer, Other };
  TKind kind = TKind::Other;
  std::u16string text;  // Text: the value as the window would get it
  int64_t integer = 0;  // Integer: a typed number ("@Variant(...)")
};

// The last value of `key` in the top-level group; none when the key is not
// there. A list, an invalid value ("@Invalid()") and the other typed values
// are of kind Other.
std::optional<TIniValue> readIniTopLevelValue(std::string_view fileText, std::string_view key);

}  // namespace kelvry
