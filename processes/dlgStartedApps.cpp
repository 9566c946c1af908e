// The running-applications dialog: a note, the list of watched applications found running and
// three answers. Closing it with the close box answers Cancel, as the form's modal loop does.
#include "processes/dlgStartedApps.h"

#include "ui/tr.h"

TfrmStartedApps::TfrmStartedApps(const TContext& context) : ui::TForm(context.app, "frmStartedApps"), ctx_(context) {
  SetCaption(ui::Tr("Applications"));
  SetClientSize(373, 269);
  SetBorderStyle(ui::TBorderStyle::bsSingle);
  SetBorderIcons({.SystemMenu = true, .Minimize = false, .Maximize = false});
  SetColor(ui::clWhite);
  SetFont(ui::PixelFont("Calibri", 15));
  SetPosition(ui::TPosition::poMainFormCenter);

  lb1 = Add<ui::TLabel>(this, "lb1");
  lb1->SetAutoSize(false);
  lb1->SetWordWrap(true);
  lb1->SetBounds(16, 8, 349, 41);
  lb1->SetCaption(ui::Tr("Following applications may prevent cleaning operations. It's recommended to close them."));

  // Created in tab order: the list, then "Skip", "Close and Continue" and "Cancel".
  ListBox1 = Add<ui::TListBox>(this, "ListBox1");
  ListBox1->SetBounds(48, 64, 273, 137);
  ListBox1->SetItemHeight(18);

  btSkip = Add<ui::TButton>(this, "btSkip");
  btSkip->SetBounds(195, 236, 82, 25);
  btSkip->SetCaption(ui::Tr("Skip"));
  btSkip->SetModalResult(ui::TModalResult::mrIgnore);
  btSkip->OnClick = [this](ui::TControl* s) { btSkipClick(s); };

  btnCloseAndContinue = Add<ui::TButton>(this, "btnCloseAndContinue");
  btnCloseAndContinue->SetBounds(8, 236, 137, 25);
  btnCloseAndContinue->SetCaption(ui::Tr("Close and Continue"));
  btnCloseAndContinue->SetModalResult(ui::TModalResult::mrYes);
  btnCloseAndContinue->SetDefault(true);
  btnCloseAndContinue->OnClick = [this](ui::TControl* s) { btnCloseAndContinueClick(s); };

  btnCancel = Add<ui::TButton>(this, "btnCancel");
  btnCancel->SetBounds(283, 236, 82, 25);
  btnCancel->SetCaption(ui::Tr("Cancel"));
  btnCancel->SetModalResult(ui::TModalResult::mrCancel);
  btnCancel->SetCancel(true);
  btnCancel->OnClick = [this](ui::TControl* s) { btnCancelClick(s); };
}

void TfrmStartedApps::btnCloseAndContinueClick(ui::TControl*) { SetModalResult(ui::TModalResult::mrYes); }
void TfrmStartedApps::btSkipClick(ui::TControl*) { SetModalResult(ui::TModalResult::mrIgnore); }
void TfrmStartedApps::btnCancelClick(ui::TControl*) { SetModalResult(ui::TModalResult::mrCancel); }
