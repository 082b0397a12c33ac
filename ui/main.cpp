// kelvry-update: the desktop window that updates a Kelvry logger's firmware.

#include "ui/error_handler.h"
#include "ui/init_forms.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  kelvry::TApplication app(argc, argv);

  kelvry::TfrmMain frmMain(kelvry::TMainWindowSetup::fromProgram());
  kelvry::initForms(frmMain);
  frmMain.show();
  return app.exec();
}
