#include "cli/console/program_arguments.h"

#include <windows.h>

#include <shellapi.h>

#include "text/utf16_text.h"

namespace kelvry::cli {

// The narrow argv holds the command line in the system's code page, where
// letters outside it are lost; the UTF-16 one holds all of them.
TArguments programArguments(int argc, char* argv[]) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return TArguments(argv, argv + argc);
  TArguments arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(fromWide(wide[i]));
  LocalFree(wide);
  return arguments;
}

}  // namespace kelvry::cli
