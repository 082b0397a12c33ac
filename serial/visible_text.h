#pragma once

#include <string>
#include <string_view>

// What a USB device says about itself (maker, product, serial number) is
// data from outside: printed raw, an escape sequence in it could clear a
// technician's screen or set the terminal's title. Control characters (C0,
// DEL and the C1 range), the invisible format characters that reorder or
// hide text (U+202E, U+200B ...) and bytes that are not UTF-8 are shown as
// \xNN instead, everywhere such a string goes; all other text, in any
// language, is kept as it is.

namespace kelvry {

std::string visibleText(std::string_view raw);

}  // namespace kelvry
