// The about box: the product's logo on a fixed window that only closes.
#include "app/dlgAbout.h"

#include "context/exe_folder.h"

TfrmAbout::TfrmAbout(const TContext& context) : ui::TForm(context.app, "frmAbout"), ctx_(context) {
  SetCaption("About");
  SetClientSize(421, 271);
  SetBorderStyle(ui::TBorderStyle::bsSingle);
  SetBorderIcons({.SystemMenu = true, .Minimize = false, .Maximize = false});
  SetPosition(ui::TPosition::poScreenCenter);

  Image1 = Add<ui::TImage>(this, "Image1");
  Image1->SetBounds(0, 0, 421, 270);
  Image1->SetAlign(ui::TAlign::alTop);
  ctx_.app.Guard([&] { Image1->LoadFromFile(ExeFolder(ctx_.os.system) + "images\\about.jpg"); });
}
