#pragma once

#include "frontend/settings_files.h"

namespace kelvry {

// The internal-mode switch as the settings files in `folders` hold it.
bool readInternalSwitchIn(const TConfigFolders& folders);

}  // namespace kelvry
