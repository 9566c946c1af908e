#include "app/dlgMain.h"

#include "clean/delete_thread.h"
#include "scan/search_thread.h"
#include "settings/mem_ini_file.h"

TfrmMain::TfrmMain(const TContext& context) : ui::TForm(context.app, "frmMain"), ctx_(context) { CreateControls(); }

TfrmMain::~TfrmMain() = default;

void TfrmMain::FormCreate(ui::TControl*) {}
void TfrmMain::FormShow(ui::TControl*) {}
void TfrmMain::FormClose(ui::TControl*, ui::TCloseAction&) {}
void TfrmMain::FormDestroy(ui::TControl*) {}
void TfrmMain::HandleMessage(unsigned message) {
  if (message == WM_STARTUPCHECKS) WMStartupChecks();
}
void TfrmMain::WMStartupChecks() {}
