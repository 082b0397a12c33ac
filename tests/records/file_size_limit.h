#pragma once

// A full disk for the records writer: a limit on the size of the files the
// process writes, where the platform has one (file_size_limit_posix.cpp;
// Windows has none).

namespace kelvry::test {

// False when the platform cannot limit a process's file size.
bool limitFileSize(unsigned long long bytes);

}  // namespace kelvry::test
