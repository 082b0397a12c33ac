#pragma once

#include <filesystem>
#include <string>

// The program holds text as UTF-8: the command line, messages, report
// lines. A path made from such text must say so, because on Windows the
// narrow std::string conversion reads the system code page instead, and
// "Prüfung" or "Ελληνικά" would name another folder.

namespace kelvry {

inline std::filesystem::path utf8Path(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8Text(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace kelvry
