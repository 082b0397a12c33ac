// The console the command line writes into: UTF-8 while the program runs
// and the user's code page again after it, and a console of the program's
// own (a double click) told apart from a command prompt's.

#include <windows.h>

#include <gtest/gtest.h>

#include "cli/console/console.h"

namespace kelvry::cli {
namespace {

// A console of this process alone, as a double click in Explorer gives.
bool useOwnConsole() {
  FreeConsole();
  return AllocConsole() != 0;
}

TEST(ConsoleText, IsUtf8WhileTheProgramRunsAndTheFormerCodePageAfter) {
  // A console whose code page can be set: the test's own.
  if (!useOwnConsole()) GTEST_SKIP() << "no console can be made here";
  // Wine's console without a window keeps its code page: the test is for
  // Windows' consoles.
  if (!SetConsoleOutputCP(437)) GTEST_SKIP() << "this console takes no other code page";
  {
    const TUtf8Console console;
    EXPECT_EQ(GetConsoleOutputCP(), UINT{CP_UTF8});
  }
  EXPECT_EQ(GetConsoleOutputCP(), 437u);
}

TEST(ConsoleText, ConsoleOfItsOwnIsToldApart) {
  if (!useOwnConsole()) GTEST_SKIP() << "no console can be made here";
  EXPECT_TRUE(ownsConsole());
  FreeConsole();
  EXPECT_FALSE(ownsConsole()) << "without a console there is none to keep open";
}

}  // namespace
}  // namespace kelvry::cli
