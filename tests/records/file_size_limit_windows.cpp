#include "file_size_limit.h"

namespace kelvry::test {

// Windows limits a process's memory and time, not the size of its files.
bool limitFileSize(unsigned long long) { return false; }

}  // namespace kelvry::test
