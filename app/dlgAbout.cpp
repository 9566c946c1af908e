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

  // Under the picture's line, centred and word-wrapped across the box: the maker's line and the
  // notice that the JPEG library's licence asks for.
  auto text = [this](const char* name, const std::string& caption, int pixels, ui::TColor color, int top) {
    auto* label = Add<ui::TLabel>(this, name);
    label->SetCaption(caption);
    ui::TFont font = ui::PixelFont("Tahoma", pixels);
    font.Color = color;
    label->SetFont(font);
    label->SetTransparent(true);
    label->SetAlignment(ui::TAlignment::taCenter);
    label->SetWordWrap(true);
    label->SetBounds(20, top, 381, pixels + 3);
    return label;
  };
  // TRANSLATORS: %1 is the maker's name.
  lbMadeBy = text("lbMadeBy", "\u00a9 Torvex. " + ui::Format(ui::Tr("Made with care by the %1 team."), {"Torvex"}), 11,
                  ui::clWhite, 200);
  lbJpegNotice =
      text("lbJpegNotice", ui::Tr("This software is based in part on the work of the Independent JPEG Group."), 10,
           ui::Rgb(210, 238, 246), 220);
}
