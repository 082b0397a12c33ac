#include "text/system_error_text.h"

#include <windows.h>

#include "text/win32_error_text.h"

namespace kelvry {

std::string lastSystemErrorText() { return win32ErrorText(GetLastError()); }

}  // namespace kelvry
