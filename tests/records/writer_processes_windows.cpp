#include <windows.h>

#include "writer_processes.h"

namespace kelvry::test {

namespace {

std::wstring wide(const std::string& text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring converted(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), converted.data(), size);
  return converted;
}

// The writer's arguments hold no quotes and end in no backslash: quoting
// each is all the C runtime needs to split them again.
std::wstring commandLine(const std::vector<std::string>& arguments) {
  std::wstring line = L"\"" + wide(KELVRY_RECORDS_WRITER) + L"\"";
  for (const auto& argument : arguments) line += L" \"" + wide(argument) + L"\"";
  return line;
}

}  // namespace

TWriterProcess startWriter(const std::vector<std::string>& arguments, const std::string& errors) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  HANDLE errorFile = INVALID_HANDLE_VALUE;
  if (!errors.empty()) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    errorFile = CreateFileW(wide(errors).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = errorFile;
  }
  std::wstring line = commandLine(arguments);
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  if (errorFile != INVALID_HANDLE_VALUE) CloseHandle(errorFile);
  if (!started) return {};
  CloseHandle(process.hThread);
  return {reinterpret_cast<std::intptr_t>(process.hProcess)};
}

int waitForWriter(TWriterProcess writer) {
  if (writer.id == -1) return -1;
  const auto process = reinterpret_cast<HANDLE>(writer.id);
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  const bool exited = GetExitCodeProcess(process, &code) != 0;
  CloseHandle(process);
  return exited ? static_cast<int>(code) : -1;
}

}  // namespace kelvry::test
