// The main window's controls with their design-time properties, and the binding of every event
// to its handler. The design state is the settings page, so that a window whose page pictures
// cannot be loaded still shows a usable first page.
#include <cstdio>
#include <initializer_list>

#include "app/dlgMain.h"
#include "app/result_sort.h"
#include "context/exe_folder.h"
#include "ui/tr.h"

namespace {

ui::TFont CalibriBold15() { return ui::PixelFont("Calibri", 15, true); }

ui::TFont LinkFont(const ui::TFont& base) {
  ui::TFont font = base;
  font.Color = ui::clBlue;
  font.Underline = true;
  return font;
}

// Loads "images\<prefix>01.jpg" .. "<prefix><count>.jpg"; the first frame that cannot be loaded
// ends the list and is reported once, so that missing artwork gives one message, not dozens.
void LoadFrames(ui::TApplication& app, ui::TImageList& list, const std::string& folder, const char* prefix, int count) {
  app.Guard([&] {
    for (int i = 1; i <= count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "%s%02d.jpg", prefix, i);
      list.AddFromFile(folder + "images\\" + name);
    }
  });
}

}  // namespace

void TfrmMain::CreateControls() {
  SetCaption("Clutterix");
  SetClientSize(741, 566);
  SetBorderStyle(ui::TBorderStyle::bsSingle);
  SetBorderIcons({.SystemMenu = true, .Minimize = true, .Maximize = false});
  MinWidth = 747;
  MaxWidth = 747;
  MinHeight = 598;
  SetColor(ui::clWhite);
  SetPosition(ui::TPosition::poScreenCenter);
  SetShowHint(true);
  SetFont(ui::TFont{});  // Tahoma 8 pt

  const std::string folder = ExeFolder(ctx_.os.system);
  imgTop = Add<ui::TImage>(this, "imgTop");
  imgTop->SetBounds(0, 0, 741, 114);
  imgTop->SetAlign(ui::TAlign::alTop);

  imgBottom = Add<ui::TImage>(this, "imgBottom");
  imgBottom->SetBounds(0, 491, 741, 75);
  imgBottom->SetAlign(ui::TAlign::alBottom);

  // The header and footer artwork never changes; without it the window still works.
  ctx_.app.Guard([&] { imgTop->LoadFromFile(folder + "images\\header.jpg"); });
  ctx_.app.Guard([&] { imgBottom->LoadFromFile(folder + "images\\footer.jpg"); });

  imgBody = Add<ui::TImage>(this, "imgBody");
  imgBody->SetBounds(0, 114, 741, 377);
  imgBody->SetAlign(ui::TAlign::alClient);

  lbTracesLabel = Add<ui::TLabel>(this, "lbTracesLabel");
  lbTracesLabel->SetCaption(ui::Tr("Traces Found:"));
  lbTracesLabel->SetFont(CalibriBold15());
  lbTracesLabel->SetBounds(440, 128, 108, 18);  // room up to the figures at 550, for wider fonts
  lbTracesLabel->SetTransparent(true);
  lbTracesLabel->SetVisible(false);

  lbSummarySize = Add<ui::TLabel>(this, "lbSummarySize");
  lbSummarySize->SetCaption(ui::Tr("Summary Size:"));
  lbSummarySize->SetFont(CalibriBold15());
  lbSummarySize->SetBounds(440, 152, 108, 18);
  lbSummarySize->SetTransparent(true);
  lbSummarySize->SetVisible(false);

  lbBinsSize = Add<ui::TLabel>(this, "lbBinsSize");
  lbBinsSize->SetCaption("0 MB");
  lbBinsSize->SetFont(ui::PixelFont("Calibri", 16));
  lbBinsSize->SetBounds(550, 151, 30, 19);
  lbBinsSize->SetTransparent(true);
  lbBinsSize->SetCursor(ui::TCursor::crHelp);
  lbBinsSize->SetHint(ui::Tr("Size of all garbage objects including under Noise Level"));
  lbBinsSize->SetShowHint(true);
  lbBinsSize->SetVisible(false);

  lbBinsFound = Add<ui::TLabel>(this, "lbBinsFound");
  lbBinsFound->SetCaption("0 ( 0 )");
  lbBinsFound->SetFont(ui::PixelFont("Calibri", 16));
  lbBinsFound->SetBounds(550, 127, 36, 19);
  lbBinsFound->SetTransparent(true);
  lbBinsFound->SetCursor(ui::TCursor::crHelp);
  lbBinsFound->SetHint(ui::Tr(
      "Garbage Objects Shown (Garbage Objects Found).  Number of shown object defined by Noise Level in Options."));
  lbBinsFound->SetShowHint(true);
  lbBinsFound->SetVisible(false);

  lbCurrentPath = Add<ui::TLabel>(this, "lbCurrentPath");
  lbCurrentPath->SetAutoSize(false);
  lbCurrentPath->SetBounds(134, 426, 563, 13);
  lbCurrentPath->SetTransparent(true);
  lbCurrentPath->SetVisible(false);

  lbCurrentPosition = Add<ui::TLabel>(this, "lbCurrentPosition");
  lbCurrentPosition->SetCaption(ui::Tr("Current Position:"));
  lbCurrentPosition->SetBounds(24, 426, 86, 13);
  lbCurrentPosition->SetTransparent(true);
  lbCurrentPosition->SetVisible(false);

  lbTimeLabel = Add<ui::TLabel>(this, "lbTimeLabel");
  lbTimeLabel->SetCaption(ui::Tr("Time Spent:"));
  lbTimeLabel->SetBounds(24, 407, 58, 13);
  lbTimeLabel->SetTransparent(true);
  lbTimeLabel->SetVisible(false);

  imgStart = Add<ui::TImage>(this, "imgStart");
  imgStart->SetBounds(459, 185, 150, 150);
  imgStart->SetAutoSize(true);
  imgStart->SetCursor(ui::TCursor::crHandPoint);
  imgStart->SetCaption(ui::Tr("Start Scan"));
  imgStart->SetTabStop(true);
  imgStart->OnKeyClick = [this](ui::TControl*) { btnStart->Click(); };
  imgStart->OnMouseEnter = [this](ui::TControl* s) { imgStartMouseEnter(s); };
  imgStart->OnMouseLeave = [this](ui::TControl* s) { imgStartMouseLeave(s); };
  imgStart->OnMouseDown = [this](ui::TControl* s, ui::TMouseButton b, int x, int y) { imgStartMouseDown(s, b, x, y); };
  imgStart->OnMouseUp = [this](ui::TControl* s, ui::TMouseButton b, int x, int y) { imgStartMouseUp(s, b, x, y); };
  CreateArtworkTexts();

  lbAdvancedOptions = Add<ui::TLabel>(this, "lbAdvancedOptions");
  lbAdvancedOptions->SetCaption(ui::Tr("Advanced Options"));
  lbAdvancedOptions->SetFont(LinkFont(ui::TFont{}));
  lbAdvancedOptions->SetBounds(244, 341, 87, 13);
  lbAdvancedOptions->SetTransparent(true);
  lbAdvancedOptions->SetCursor(ui::TCursor::crHandPoint);
  lbAdvancedOptions->SetTabStop(true);
  lbAdvancedOptions->OnClick = [this](ui::TControl* s) { lbAdvancedOptionsClick(s); };
  lbAdvancedOptions->OnMouseEnter = [this](ui::TControl* s) { lbAdvancedOptionsMouseEnter(s); };
  lbAdvancedOptions->OnMouseLeave = [this](ui::TControl* s) { lbAdvancedOptionsMouseLeave(s); };

  lbAbout = Add<ui::TLabel>(this, "lbAbout");
  lbAbout->SetCaption(ui::Tr("About"));
  lbAbout->SetFont(LinkFont(ui::TFont{}));
  lbAbout->SetBounds(8, 95, 29, 13);
  lbAbout->SetTransparent(true);
  lbAbout->SetCursor(ui::TCursor::crHandPoint);
  lbAbout->SetTabStop(true);
  lbAbout->OnClick = [this](ui::TControl* s) { lbAboutClick(s); };
  lbAbout->OnMouseEnter = [this](ui::TControl* s) { lbAdvancedOptionsMouseEnter(s); };
  lbAbout->OnMouseLeave = [this](ui::TControl* s) { lbAdvancedOptionsMouseLeave(s); };

  // Each box spans the panel the artwork draws behind them, for the longer names of other languages.
  auto category = [this](TGarbageCategoryIndex index, int top) {
    const TGarbageCategory& c = GarbageCategories()[index];
    auto* box = Add<ui::TCheckBox>(this, c.check_box);
    box->SetCaption("   " + ui::Tr(c.caption));  // the indent keeps the text off the artwork's marks
    box->SetBounds(244, top, 200, 17);
    box->SetChecked(c.ticked_by_default);
    box->OnMouseLeave = [this](ui::TControl* s) { cbRecycleBinMouseLeave(s); };
    return box;
  };
  cbRecycleBin = category(kCategoryRecycle, 203);
  cbRecycleBin->OnMouseEnter = [this](ui::TControl* s) { cbRecycleBinMouseEnter(s); };
  cbTempFoldersAndFiles = category(kCategoryTemp, 249);
  cbTempFoldersAndFiles->OnMouseEnter = [this](ui::TControl* s) { cbTempFoldersAndFilesMouseEnter(s); };
  cbTempFoldersAndFiles->OnMouseLeave = [this](ui::TControl* s) { cbTempFoldersAndFilesMouseLeave(s); };
  cbLogFiles = category(kCategoryLogs, 272);
  cbLogFiles->OnMouseEnter = [this](ui::TControl* s) { cbLogFilesMouseEnter(s); };
  cbWUBackup = category(kCategoryWindowsUpdateBackups, 318);
  cbWUBackup->OnMouseEnter = [this](ui::TControl* s) { cbWUBackupMouseEnter(s); };
  cbImgCaches = category(kCategoryImagesDatabases, 295);
  cbImgCaches->OnMouseEnter = [this](ui::TControl* s) { cbImgCachesMouseEnter(s); };
  cbInternetCache = category(kCategoryInternetCache, 226);
  cbInternetCache->OnMouseEnter = [this](ui::TControl* s) { cbInternetCacheMouseEnter(s); };

  // Never shown: it carries the start-a-scan action for the start image and the auto-scan.
  btnStart = Add<ui::TButton>(this, "btnStart");
  btnStart->SetCaption(ui::Tr("Start"));
  btnStart->SetBounds(24, 450, 75, 25);
  btnStart->SetVisible(false);
  btnStart->OnClick = [this](ui::TControl* s) { btnStartClick(s); };

  auto button = [this](const char* name, const char* caption, int left) {
    auto* b = Add<ui::TButton>(this, name);
    b->SetCaption(ui::Tr(caption));
    b->SetBounds(left, 450, 136, 25);
    b->SetVisible(false);
    return b;
  };
  btnCancel = button("btnCancel", ui::TrNoop("Stop Scanning"), 166);
  btnCancel->OnClick = [this](ui::TControl* s) { btnCancelClick(s); };

  lvFound = Add<ui::TListView>(this, "lvFound");
  lvFound->SetBounds(24, 182, 692, 225);
  lvFound->SetCheckboxes(true);
  lvFound->SetRowSelect(true);
  lvFound->SetReadOnly(true);
  lvFound->SetBorder(false);
  lvFound->AddColumn(ui::Tr("Garbage Items"), 520);
  lvFound->AddColumn(ui::Tr("Size on Disk"), 150);
  lvFound->AddColumn(ui::Tr("Cleaning Status"), 75);
  lvFound->SetVisible(false);
  lvFound->OnColumnClick = [this](int column) { SortResultsByColumn(*lvFound, column); };
  lvFound->OnDblClick = [this](ui::TControl* s) { lvFoundDblClick(s); };

  btnBacktoSettings = button("btnBacktoSettings", ui::TrNoop("Back to Settings"), 24);
  btnBacktoSettings->OnClick = [this](ui::TControl* s) { btnBacktoSettingsClick(s); };
  btnCleanSelected = button("btnCleanSelected", ui::TrNoop("Clean Selected"), 308);
  btnCleanSelected->OnClick = [this](ui::TControl* s) { btnCleanSelectedClick(s); };
  btnCleanAll = button("btnCleanAll", ui::TrNoop("Clean All"), 450);
  btnCleanAll->OnClick = [this](ui::TControl* s) { btnCleanAllClick(s); };

  panelHint = Add<ui::TPanel>(this, "panelHint");
  panelHint->SetBevel(false);
  panelHint->SetBounds(126, 397, 483, 70);
  panelHint->SetVisible(false);

  lbHint = Add<ui::TLabel>(panelHint, "lbHint");
  ui::TFont hint_font = CalibriBold15();
  hint_font.Color = ui::clBlue;
  lbHint->SetFont(hint_font);
  lbHint->SetAutoSize(false);
  lbHint->SetWordWrap(true);
  lbHint->SetBounds(3, 3, 477, 64);
  lbHint->SetAlign(ui::TAlign::alClient);
  lbHint->SetAlignMargin(3);

  // Tab follows the screen: the categories top to bottom, the link below them, the start picture
  // beside them and the About link; on the other pages the list, then the buttons left to right.
  int order = 0;
  for (ui::TControl* c : std::initializer_list<ui::TControl*>{
           cbRecycleBin, cbInternetCache, cbTempFoldersAndFiles, cbLogFiles, cbImgCaches, cbWUBackup, lbAdvancedOptions,
           imgStart, lvFound, btnBacktoSettings, btnCancel, btnCleanSelected, btnCleanAll, lbAbout})
    c->SetTabOrder(order++);

  execTimer = AddComponent<ui::TTimer>("execTimer");
  execTimer->SetInterval(1000);
  execTimer->SetEnabled(false);
  execTimer->OnTimer = [this](ui::TTimer* s) { execTimerTimer(s); };

  ilScanning = AddComponent<ui::TImageList>("ilScanning", 16, 16);
  LoadFrames(ctx_.app, *ilScanning, folder, "scan", 18);

  TrayIcon1 = AddComponent<ui::TTrayIcon>("TrayIcon1");
  TrayIcon1->SetHint("Clutterix");
  TrayIcon1->SetBalloonFlags(ui::TBalloonFlags::bfInfo);
  TrayIcon1->SetVisible(false);

  TrayIcon2 = AddComponent<ui::TTrayIcon>("TrayIcon2");
  TrayIcon2->SetHint(ui::Tr("Scanning drives for garbage..."));
  TrayIcon2->SetAnimateInterval(100);
  TrayIcon2->SetVisible(false);

  ilDelete = AddComponent<ui::TImageList>("ilDelete", 16, 16);
  LoadFrames(ctx_.app, *ilDelete, folder, "clean", 19);
  TrayIcon2->SetIcons(ilScanning);

  OnShow = [this](ui::TControl* s) { FormShow(s); };
  OnClose = [this](ui::TControl* s, ui::TCloseAction& a) { FormClose(s, a); };
}
