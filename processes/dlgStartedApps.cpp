#include "processes/dlgStartedApps.h"

TfrmStartedApps::TfrmStartedApps(const TContext& context) : ui::TForm(context.app, "frmStartedApps"), ctx_(context) {
  lb1 = Add<ui::TLabel>(this, "lb1");
  ListBox1 = Add<ui::TListBox>(this, "ListBox1");
  btnCloseAndContinue = Add<ui::TButton>(this, "btnCloseAndContinue");
  btSkip = Add<ui::TButton>(this, "btSkip");
  btnCancel = Add<ui::TButton>(this, "btnCancel");
}
void TfrmStartedApps::btnCloseAndContinueClick(ui::TControl*) {}
void TfrmStartedApps::btSkipClick(ui::TControl*) {}
void TfrmStartedApps::btnCancelClick(ui::TControl*) {}
