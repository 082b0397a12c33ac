// The window tests need one application object for the whole process, an
// offscreen screen, and a settings folder of their own so that the user's
// real internal-mode switch is never read.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "ui/error_handler.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.filePath("config")));
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(settings.path()));
  testing::InitGoogleTest(&argc, argv);
  kelvry::TApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
