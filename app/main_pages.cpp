#include "app/dlgMain.h"

void TfrmMain::ShowSettingsPage(bool) {}
void TfrmMain::ShowScanningPage(bool) {}
void TfrmMain::ShowResultsPage(bool) {}
void TfrmMain::RepaintAboutLink() {}
void TfrmMain::imgStartMouseEnter(ui::TControl*) {}
void TfrmMain::imgStartMouseLeave(ui::TControl*) {}
void TfrmMain::imgStartMouseDown(ui::TControl*, ui::TMouseButton, int, int) {}
void TfrmMain::imgStartMouseUp(ui::TControl*, ui::TMouseButton, int, int) {}
void TfrmMain::cbRecycleBinMouseEnter(ui::TControl*) {}
void TfrmMain::cbTempFoldersAndFilesMouseEnter(ui::TControl*) {}
void TfrmMain::cbInternetCacheMouseEnter(ui::TControl*) {}
void TfrmMain::cbImgCachesMouseEnter(ui::TControl*) {}
void TfrmMain::cbLogFilesMouseEnter(ui::TControl*) {}
void TfrmMain::cbWUBackupMouseEnter(ui::TControl*) {}
void TfrmMain::cbRecycleBinMouseLeave(ui::TControl*) {}
void TfrmMain::cbTempFoldersAndFilesMouseLeave(ui::TControl*) {}
void TfrmMain::lbAdvancedOptionsClick(ui::TControl*) {}
void TfrmMain::lbAboutClick(ui::TControl*) {}
void TfrmMain::lbAdvancedOptionsMouseEnter(ui::TControl*) {}
void TfrmMain::lbAdvancedOptionsMouseLeave(ui::TControl*) {}
void TfrmMain::btnBacktoSettingsClick(ui::TControl*) {}
void TfrmMain::lvFoundDblClick(ui::TControl*) {}
void TfrmMain::execTimerTimer(ui::TTimer*) {}
