#pragma once

// The window reads the internal-mode switch through Qt's settings store.

namespace kelvry {

bool readInternalSwitchWithQSettings();

}  // namespace kelvry
