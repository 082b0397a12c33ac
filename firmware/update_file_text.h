#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Reading an update file into memory without trusting what the path points
// to: a FIFO would block the reader forever, a device such as /dev/zero never
// ends, and a file in the wrong encoding would otherwise only show up as a
// puzzling header error. Everything here refuses early with a message that
// names the real fault.

namespace kelvry {

// Far above the largest real update file (about 320 KiB), far below what
// would strain the memory of the computer.
inline constexpr size_t kMaxUpdateFileBytes = 16 * 1024 * 1024;

// What is wrong with the text of an update file for a reader that expects
// ASCII lines, or nothing when it may be parsed: UTF-16 text, binary data
// (a null byte or another control character), or a file without any line
// break.
std::optional<std::string> updateFileTextFault(std::string_view text);

// The whole content of the regular file at `path`. Throws std::runtime_error
// with a message that says what is wrong (not a regular file, too large,
// cannot be opened or read, or a fault of updateFileTextFault).
std::string readUpdateFileText(const std::string& path);

}  // namespace kelvry
