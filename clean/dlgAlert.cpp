// The alert dialog: a background picture, a headline, a message and a "Close" link.
#include "clean/dlgAlert.h"

#include "context/exe_folder.h"
#include "ui/tr.h"

TfrmAlert::TfrmAlert(const TContext& context) : ui::TForm(context.app, "frmAlert"), ctx_(context) {
  SetCaption(ui::Tr("Not enought access rights"));
  SetClientSize(420, 200);
  SetColor(ui::clBtnFace);
  SetPosition(ui::TPosition::poScreenCenter);
  ui::TFont font = ui::PixelFont("Calibri", 15);
  font.Charset = ui::RUSSIAN_CHARSET;
  font.Color = ui::clWindowText;
  SetFont(font);

  Image1 = Add<ui::TImage>(this, "Image1");
  Image1->SetBounds(0, 0, 420, 200);
  Image1->SetAlign(ui::TAlign::alClient);

  lbMessage = Add<ui::TLabel>(this, "lbMessage");
  lbMessage->SetAutoSize(false);
  lbMessage->SetWordWrap(true);
  lbMessage->SetTransparent(true);
  lbMessage->SetBounds(112, 53, 271, 116);
  lbMessage->SetCaption(ui::Tr("Clutterix required Administrator access rights for cleaning operations.") + "\r\n\r\n" +
                        ui::Tr("Without this permissions all garbage on System Disk cannot be removed, all other disk "
                               "drives will be cleaned."));

  lbCaption = Add<ui::TLabel>(this, "lbCaption");
  ui::TFont headline = font;
  headline.Height = -19;
  lbCaption->SetFont(headline);
  lbCaption->SetTransparent(true);
  lbCaption->SetBounds(112, 24, 203, 23);
  lbCaption->SetCaption(ui::Tr("Not enought access rights."));

  lbClose = Add<ui::TLabel>(this, "lbClose");
  ui::TFont link = font;
  link.Color = ui::clBlue;
  link.Underline = true;
  lbClose->SetFont(link);
  lbClose->SetTransparent(true);
  lbClose->SetCursor(ui::TCursor::crHandPoint);
  lbClose->SetTabStop(true);
  lbClose->SetBounds(360, 160, 34, 18);
  lbClose->SetCaption(ui::Tr("Close"));
  lbClose->OnClick = [this](ui::TControl* s) { lbCloseClick(s); };
  lbClose->OnMouseEnter = [this](ui::TControl* s) { lbCloseMouseEnter(s); };
  lbClose->OnMouseLeave = [this](ui::TControl* s) { lbCloseMouseLeave(s); };

  btnYes = Add<ui::TButton>(this, "btnYes");
  btnYes->SetBounds(240, 160, 75, 25);
  btnYes->SetCaption(ui::Tr("&Yes"));
  btnYes->SetModalResult(ui::TModalResult::mrYes);
  btnYes->SetDefault(true);
  btnYes->SetVisible(false);
  btnNo = Add<ui::TButton>(this, "btnNo");
  btnNo->SetBounds(324, 160, 75, 25);
  btnNo->SetCaption(ui::Tr("&No"));
  btnNo->SetModalResult(ui::TModalResult::mrNo);
  btnNo->SetCancel(true);
  btnNo->SetVisible(false);

  // Without its picture the dialog still works on its face colour.
  ctx_.app.Guard([&] { Image1->LoadFromFile(ExeFolder(ctx_.os.system) + "images\\alert.jpg"); });
}

void TfrmAlert::lbCloseClick(ui::TControl*) { Close(); }

bool TfrmAlert::Ask() {
  lbClose->SetVisible(false);
  btnYes->SetVisible(true);
  btnNo->SetVisible(true);
  const ui::TModalResult answer = ShowModal();
  btnYes->SetVisible(false);
  btnNo->SetVisible(false);
  lbClose->SetVisible(true);
  return answer == ui::TModalResult::mrYes;
}

void TfrmAlert::lbCloseMouseEnter(ui::TControl* Sender) { Sender->SetFontColor(ui::clRed); }

void TfrmAlert::lbCloseMouseLeave(ui::TControl* Sender) { Sender->SetFontColor(ui::clBlue); }
