// QProcess, which runs the program under test, wants an application object.

#include <gtest/gtest.h>

#include <QCoreApplication>

// The process tests start the program while the virtual logger's thread
// runs, and QProcess starts its own helper thread after that fork; the
// thread sanitizer refuses this by default although the child only execs.
extern "C" const char* __tsan_default_options() { return "die_after_fork=0"; }

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
