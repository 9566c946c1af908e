#include "settings/dlgOptions.h"

TfrmOptions::TfrmOptions(const TContext& context) : ui::TForm(context.app, "frmOptions"), ctx_(context) {}
void TfrmOptions::btnOKClick(ui::TControl*) {}
void TfrmOptions::cbScanLevelChange(ui::TControl*) {}
void TfrmOptions::ApplyScanLevel(int) {}
void TfrmOptions::FillDiskList() {}
void TfrmOptions::lbMoreInfoTimeEstClick(ui::TControl*) {}
void TfrmOptions::lbMoreInfoTimeEstMouseEnter(ui::TControl*) {}
void TfrmOptions::lbMoreInfoTimeEstMouseLeave(ui::TControl*) {}
void TfrmOptions::RebuildDriveList() {}
void TfrmOptions::HandleMessage(unsigned) {}
std::string SecondsToTimeText(int64_t) { return ""; }
