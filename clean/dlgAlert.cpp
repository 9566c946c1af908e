#include "clean/dlgAlert.h"

TfrmAlert::TfrmAlert(const TContext& context) : ui::TForm(context.app, "frmAlert"), ctx_(context) {
  Image1 = Add<ui::TImage>(this, "Image1");
  lbMessage = Add<ui::TLabel>(this, "lbMessage");
  lbCaption = Add<ui::TLabel>(this, "lbCaption");
  lbClose = Add<ui::TLabel>(this, "lbClose");
}
void TfrmAlert::lbCloseClick(ui::TControl*) {}
void TfrmAlert::lbCloseMouseEnter(ui::TControl*) {}
void TfrmAlert::lbCloseMouseLeave(ui::TControl*) {}
