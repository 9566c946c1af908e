// The about box: the product's logo on a fixed window that only closes, and the release's version
// over it (the picture leaves its place free, so that no picture has to be redrawn for a release).
#include "app/dlgAbout.h"

#include "context/exe_folder.h"
#include "context/version.h"
#include "ui/tr.h"

TfrmAbout::TfrmAbout(const TContext& context) : ui::TForm(context.app, "frmAbout"), ctx_(context) {
  SetCaption(ui::Tr("About"));
  SetClientSize(421, 271);
  SetBorderStyle(ui::TBorderStyle::bsSingle);
  SetBorderIcons({.SystemMenu = true, .Minimize = false, .Maximize = false});
  SetPosition(ui::TPosition::poScreenCenter);

  Image1 = Add<ui::TImage>(this, "Image1");
  Image1->SetBounds(0, 0, 421, 270);
  Image1->SetAlign(ui::TAlign::alTop);
  ctx_.app.Guard([&] { Image1->LoadFromFile(ExeFolder(ctx_.os.system) + "images\\about.jpg"); });

  lbVersion = Add<ui::TLabel>(this, "lbVersion");
  lbVersion->SetCaption(ui::Format(ui::Tr("Version %1"), {CX_VERSION_TEXT}));
  ui::TFont font = ui::PixelFont("Tahoma", 14, true);
  font.Color = 0xFAF6DE;  // the pale cyan of the picture's lettering
  lbVersion->SetFont(font);
  lbVersion->SetBounds(170, 164, 82, 17);
  lbVersion->SetTransparent(true);
}
