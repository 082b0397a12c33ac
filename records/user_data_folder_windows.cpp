#include <windows.h>
#include <shlobj.h>

#include "records/store_location.h"

namespace kelvry {

std::filesystem::path userDataFolder() {
  PWSTR folder = nullptr;
  std::filesystem::path path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder))) path = folder;
  CoTaskMemFree(folder);
  if (path.empty()) path = ".";
  return path / "Kelvry";
}

}  // namespace kelvry
