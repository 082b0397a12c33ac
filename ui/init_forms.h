#pragma once

namespace kelvry {

class TfrmMain;

// Creates the secondary windows, hidden and owned by the main window, in
// this order: the firmware overview, the report (docked below the main
// window and empty), the message window.
void initForms(TfrmMain& frmMain);

}  // namespace kelvry
