#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Other processes writing records (tests/records/records_writer_main.cpp),
// started at once and waited for; how a process starts is each platform's
// own (writer_processes_posix.cpp, writer_processes_windows.cpp).

namespace kelvry::test {

// A started writer: its process id or handle, -1 when it did not start.
struct TWriterProcess {
  std::intptr_t id = -1;
};

// `errors`, when given, receives the writer's standard error.
TWriterProcess startWriter(const std::vector<std::string>& arguments, const std::string& errors = "");

// The writer's exit status, or -1 when it did not exit by itself (a crash).
int waitForWriter(TWriterProcess writer);

}  // namespace kelvry::test
