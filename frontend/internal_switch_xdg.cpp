#include <fstream>
#include <iterator>
#include <optional>

#include "frontend/ini_value.h"
#include "frontend/internal_switch.h"
#include "frontend/internal_switch_files.h"
#include "frontend/settings_files.h"

namespace kelvry {

namespace {

std::optional<std::string> fileText(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool switchesOn(const TIniValue& value) {
  switch (value.kind) {
    case TIniValue::TKind::Integer:
      return value.integer == kInternalSwitchValue;
    case TIniValue::TKind::Text:
      // Text files hand every number back as text; only the plain digits
      // count, as they do in the window.
      return value.text == u"7319";
    case TIniValue::TKind::Other:
      return false;
  }
  return false;
}

}  // namespace

bool readInternalSwitchIn(const TConfigFolders& folders) {
  // The first file that holds the value decides, as in the settings store.
  for (const auto& file : settingsFiles(folders, "Dralmor", "Tarvo")) {
    const std::optional<std::string> text = fileText(file);
    if (!text) continue;
    if (const std::optional<TIniValue> value = readIniTopLevelValue(*text, "intern")) return switchesOn(*value);
  }
  return false;
}

bool ReadInternalSwitch() { return readInternalSwitchIn(configFoldersFromEnvironment()); }

}  // namespace kelvry
