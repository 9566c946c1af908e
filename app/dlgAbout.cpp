#include "app/dlgAbout.h"

TfrmAbout::TfrmAbout(const TContext& context) : ui::TForm(context.app, "frmAbout"), ctx_(context) {
  Image1 = Add<ui::TImage>(this, "Image1");
}
