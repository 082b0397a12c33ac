// kelvry-update: the desktop window that updates a Kelvry logger's firmware;
// with --bench, the bench window that updates every logger plugged in.

#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/file_size_limit.h"
#include "kelvry_version.h"
#include "ui/bench/bench_window.h"
#include "ui/dialog_hooks.h"
#include "ui/error_handler.h"
#include "ui/init_forms.h"
#include "ui/main_window.h"

namespace {

// The bench: its own window, its own entry in the desktop's menu.
int runBench(kelvry::TApplication& app) {
  std::vector<std::string> arguments;
  for (const QString& argument : kelvry::TApplication::arguments().mid(1)) arguments.push_back(argument.toStdString());
  kelvry::TApplication::setDesktopFileName("com.kelvry.Bench");
  kelvry::TBenchWindowSetup setup;
  try {
    setup = kelvry::benchWindowSetupFromProgram(arguments);
  } catch (const std::invalid_argument& e) {
    // A window program on Windows has no console to print to.
    std::cerr << "kelvry-update: " << e.what() << std::endl;
    kelvry::dialogHooks().showError(nullptr, QString("kelvry-update: ") + e.what());
    return 2;
  }
  kelvry::TfrmBench frmBench(std::move(setup));
  frmBench.show();
  return app.exec();
}

bool isBench(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--bench") == 0) return true;
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Answered before the application object exists, so that it works without
  // a display (packagers and scripts ask for it).
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::cout << "kelvry-update " << KELVRY_VERSION << std::endl;
    return 0;
  }
  kelvry::TApplication app(argc, argv);
  kelvry::TApplication::setApplicationVersion(KELVRY_VERSION);
  if (isBench(argc, argv)) {
    kelvry::keepRunningPastFileSizeLimit();
    return runBench(app);
  }
  // Lets the desktop match the window to its menu entry and icon.
  kelvry::TApplication::setDesktopFileName("com.kelvry.FirmwareUpdate");

  kelvry::TfrmMain frmMain(kelvry::TMainWindowSetup::fromProgram());
  kelvry::initForms(frmMain);
  frmMain.show();
  return app.exec();
}
