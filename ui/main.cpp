// kelvry-update: the desktop window that updates a Kelvry logger's firmware.

#include <cstring>
#include <iostream>

#include "kelvry_version.h"
#include "ui/error_handler.h"
#include "ui/init_forms.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  // Answered before the application object exists, so that it works without
  // a display (packagers and scripts ask for it).
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::cout << "kelvry-update " << KELVRY_VERSION << std::endl;
    return 0;
  }
  kelvry::TApplication app(argc, argv);
  kelvry::TApplication::setApplicationVersion(KELVRY_VERSION);
  // Lets the desktop match the window to its menu entry and icon.
  kelvry::TApplication::setDesktopFileName("com.kelvry.FirmwareUpdate");

  kelvry::TfrmMain frmMain(kelvry::TMainWindowSetup::fromProgram());
  kelvry::initForms(frmMain);
  frmMain.show();
  return app.exec();
}
