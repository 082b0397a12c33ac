#pragma once

#include <string>
#include <string_view>

// What a USB device says about itself (maker, product, serial number) is
// data from outside: printed raw, an escape sequence in it could clear a
// technician's screen or set the terminal's title. Control characters (C0,
// DEL and the C1 range) and bytes that are not UTF-8 are shown as \xNN
// instead, everywhere such a string goes; all other text is kept as it is.

namespace kelvry {

std::string visibleText(std::string_view raw);

}  // namespace kelvry
