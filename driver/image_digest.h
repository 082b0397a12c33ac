#pragma once

#include <string>

#include "firmware/firmware_sources.h"

// Which image a logger got, beyond its name: two images of one name (a
// rebuilt update file) differ here.

namespace kelvry {

// The SHA-256 of firmware source `source`'s Intel HEX records, each followed
// by a line feed, without the update file's header: the same for a built-in
// image and for the update file it was made from, whatever that file's line
// ends (`grep '^:' file.upd | tr -d '\r' | sha256sum` gives it too).
std::string imageSha256(const TFirmwareSources& sources, int source);

}  // namespace kelvry
