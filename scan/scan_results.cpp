#include "app/dlgMain.h"

void TfrmMain::btnCancelClick(ui::TControl*) {}
void TfrmMain::SearchThreadFoundObject(const std::string&, int64_t) {}
void TfrmMain::ShowLastFoundObject() {}
void TfrmMain::SearchThreadCurrentFolder(const std::string&) {}
void TfrmMain::SearchThreadFinished() {}
