#pragma once

// The per-user internal-mode switch: the value "intern" of organization
// "Dralmor", application "Tarvo" switches internal mode on when it is the
// number 7319. This reader is the command line's; it reads what the window
// reads through Qt's settings store: the registry on Windows, the ini files
// of the XDG configuration folders elsewhere.

namespace kelvry {

inline constexpr long long kInternalSwitchValue = 7319;

bool ReadInternalSwitch();

}  // namespace kelvry
