#include "update/updater.h"

TfrmUpdater::TfrmUpdater(const TContext& context) : ui::TForm(context.app, "frmUpdater"), ctx_(context) {}
void TfrmUpdater::CheckForUpdates(const std::string&, int) {}
void TfrmUpdater::FormShow(ui::TControl*) {}
void TfrmUpdater::JvXPButton1Click(ui::TControl*) {}
void TfrmUpdater::JvXPButton2Click(ui::TControl*) {}
std::string DownloadText(platform::Http&, const std::string&) { return "0"; }
bool IsInteger(const std::string&) { return false; }
