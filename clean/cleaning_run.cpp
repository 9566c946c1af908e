#include "app/dlgMain.h"

void TfrmMain::btnCleanAllClick(ui::TControl*) {}
void TfrmMain::btnCleanSelectedClick(ui::TControl*) {}
void TfrmMain::StartCleaning(const std::vector<std::string>&) {}
ui::TListItem* TfrmMain::FindRowByPath(const std::string&) { return nullptr; }
void TfrmMain::CleanItemStarted(const std::string&) {}
void TfrmMain::CleanFileDeleted(const std::string&) {}
void TfrmMain::CleanFolderDeleted(const std::string&) {}
void TfrmMain::CleanPartialDelete(const std::string&, const std::vector<std::string>&) {}
void TfrmMain::CleanCannotDelete(const std::string&, const std::string&) {}
void TfrmMain::CleanFinished() {}
