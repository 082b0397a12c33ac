#include "ui/init_forms.h"

#include "ui/info_window.h"
#include "ui/main_window.h"
#include "ui/message_window.h"
#include "ui/protocol_window.h"

namespace kelvry {

void initForms(TfrmMain& frmMain) {
  auto* frmInfo = new TfrmInfo(&frmMain);
  auto* frmProtocol = new TfrmProtocol(frmMain);
  auto* frmMessage = new TfrmMessage(&frmMain);
  frmMain.attachForms(frmInfo, frmProtocol, frmMessage);
}

}  // namespace kelvry
