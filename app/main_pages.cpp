// The main window's three pages, the start image, the category hints, the links, the result
// list's double-click and the periodic timer. Everything here runs on the main thread.
#include <initializer_list>

#include "app/dlgAbout.h"
#include "app/dlgMain.h"
#include "settings/dlgOptions.h"
#include "settings/system_paths.h"
#include "ui/tr.h"

namespace {

void ShowAll(bool visible, std::initializer_list<ui::TControl*> controls) {
  for (ui::TControl* c : controls) c->SetVisible(visible);
}

void EnableAll(bool enabled, std::initializer_list<ui::TControl*> controls) {
  for (ui::TControl* c : controls) c->SetEnabled(enabled);
}

}  // namespace

// Each page loads its background first, whatever the argument: callers call the page that is to
// be seen last. A picture that cannot be loaded ends the operation with the error.
void TfrmMain::ShowSettingsPage(bool Show) {
  imgBody->LoadFromFile(FExeFolder + "images\\settings.jpg");
  panelHint->SetVisible(false);
  ShowAll(Show, {cbRecycleBin, cbTempFoldersAndFiles, cbInternetCache, cbWUBackup, cbLogFiles, cbImgCaches, imgStart,
                 lbAdvancedOptions, lbStepChoose, lbStepStart, lbStartScan, lbStartHelp, lbHintPlaceholder});
  if (!Show) return;
  RepaintAboutLink();
  PlaceStartText(false);
  cbRecycleBin->SetPosition(244, 203);
  cbInternetCache->SetPosition(244, 226);
  cbTempFoldersAndFiles->SetPosition(244, 249);
  cbLogFiles->SetPosition(244, 272);
  cbImgCaches->SetPosition(244, 295);
  cbWUBackup->SetPosition(244, 318);
  imgStart->SetPosition(459, 185);
  lbAdvancedOptions->SetPosition(244, 341);
}

void TfrmMain::ShowScanningPage(bool Show) {
  imgBody->LoadFromFile(FExeFolder + "images\\scanning.jpg");
  ShowAll(Show, {lvFound, btnBacktoSettings, btnCleanAll, btnCleanSelected, lbTracesLabel, lbSummarySize, lbBinsFound,
                 lbBinsSize, lbCurrentPosition, lbCurrentPath, btnCancel, lbPageTitle, lbPageSubtitle});
  EnableAll(false, {btnBacktoSettings, btnCleanAll, btnCleanSelected});
  lbCurrentPath->SetCaption("");
  if (!Show) return;
  RepaintAboutLink();
  lbPageTitle->SetCaption(ui::Tr("Scanning your disks..."));
  lbPageSubtitle->SetCaption(ui::Tr("Looking for garbage on the chosen disks."));
  lbBinsFound->SetCaption("0 ( 0 )");
  lbBinsSize->SetCaption("0 MB");
  lvFound->SetBounds(24, 182, 692, 225);
  lvFound->SetColumnWidth(2, 0);
  lvFound->SetColumnWidth(0, 520);
  lbTracesLabel->SetPosition(440, 128);
  lbSummarySize->SetPosition(440, 152);
  lbBinsFound->SetPosition(550, 127);
  lbBinsSize->SetPosition(550, 151);
  lbCurrentPosition->SetPosition(24, 426);
  lbCurrentPath->SetPosition(134, 426);
  btnCleanSelected->SetPosition(308, 450);
  btnCleanAll->SetPosition(450, 450);
  btnBacktoSettings->SetPosition(24, 450);
  btnCancel->SetPosition(166, 450);
}

// The new icon comes before the old one goes, so the notification area never empties in between:
// Wine's hides itself when its last icon goes, and that held the window about 2 s at the end of
// every scan and cleaning run.
void TfrmMain::ShowBusyTrayIcon(ui::TImageList* Frames) {
  TrayIcon2->SetIcons(Frames);
  TrayIcon2->SetVisible(true);
  TrayIcon2->SetAnimate(true);
  TrayIcon1->SetVisible(false);
}

void TfrmMain::ShowIdleTrayIcon(bool MainIconVisible) {
  TrayIcon2->SetAnimate(false);
  TrayIcon1->SetVisible(MainIconVisible);
  TrayIcon2->SetVisible(false);
}

void TfrmMain::ShowResultsPage(bool Show) {
  imgBody->LoadFromFile(FExeFolder + "images\\results.jpg");
  ShowAll(Show, {btnCleanSelected, btnBacktoSettings, btnCleanAll});
  EnableAll(true, {btnCleanSelected, btnBacktoSettings, btnCleanAll});
  ShowAll(Show,
          {lbTracesLabel, lbSummarySize, lbBinsFound, lbBinsSize, lvFound, btnCancel, lbPageTitle, lbPageSubtitle});
  btnCancel->SetEnabled(false);
  if (!Show) return;
  RepaintAboutLink();
  lbPageTitle->SetCaption(ui::Tr("Scan results"));
  lbPageSubtitle->SetCaption(ui::Tr("Tick the objects to remove, then choose how to clean."));
  lvFound->SetBounds(24, 182, 692, 225);
  lbTracesLabel->SetPosition(440, 128);
  lbSummarySize->SetPosition(440, 152);
  lbBinsFound->SetPosition(550, 127);
  lbBinsSize->SetPosition(550, 151);
  btnCleanSelected->SetPosition(308, 450);
  btnCleanAll->SetPosition(450, 450);
  btnBacktoSettings->SetPosition(24, 450);
  btnCancel->SetPosition(166, 450);
}

// The link lies on the header; switching its transparency off and on makes it paint again over
// whatever background the page change left beneath it.
void TfrmMain::RepaintAboutLink() {
  lbAbout->SetTransparent(false);
  lbAbout->SetTransparent(true);
}

void TfrmMain::imgStartMouseEnter(ui::TControl*) { imgStart->LoadFromFile(FExeFolder + "images\\start_hover.jpg"); }

void TfrmMain::imgStartMouseLeave(ui::TControl*) {
  FStartPressed = false;
  PlaceStartText(false);
  imgStart->LoadFromFile(FExeFolder + "images\\start_inactive.jpg");
}

void TfrmMain::imgStartMouseDown(ui::TControl*, ui::TMouseButton, int, int) {
  FStartPressed = true;
  imgStart->LoadFromFile(FExeFolder + "images\\start_clicked.jpg");
  PlaceStartText(true);
}

// Any button starts the scan, but only a release that ends a press made on the image.
void TfrmMain::imgStartMouseUp(ui::TControl*, ui::TMouseButton, int, int) {
  if (!FStartPressed) return;
  FStartPressed = false;
  imgStart->LoadFromFile(FExeFolder + "images\\start_hover.jpg");
  PlaceStartText(false);
  btnStart->Click();
}

void TfrmMain::cbRecycleBinMouseEnter(ui::TControl*) { ShowCategoryHint(GarbageCategories()[kCategoryRecycle].hint); }

void TfrmMain::cbTempFoldersAndFilesMouseEnter(ui::TControl*) {
  ShowCategoryHint(GarbageCategories()[kCategoryTemp].hint);
}

void TfrmMain::cbInternetCacheMouseEnter(ui::TControl*) {
  ShowCategoryHint(GarbageCategories()[kCategoryInternetCache].hint);
}

void TfrmMain::cbImgCachesMouseEnter(ui::TControl*) {
  ShowCategoryHint(GarbageCategories()[kCategoryImagesDatabases].hint);
}

void TfrmMain::cbLogFilesMouseEnter(ui::TControl*) { ShowCategoryHint(GarbageCategories()[kCategoryLogs].hint); }

void TfrmMain::cbWUBackupMouseEnter(ui::TControl*) {
  ShowCategoryHint(GarbageCategories()[kCategoryWindowsUpdateBackups].hint);
}

// The hint panel is shown only while the pointer is over a category; leaving any of them hides it
// and brings the placeholder of its card back.
void TfrmMain::ShowCategoryHint(const std::string& Text) {
  lbHint->SetCaption(ui::Tr(Text));
  panelHint->SetVisible(true);
  lbHintPlaceholder->SetVisible(false);
}

void TfrmMain::cbRecycleBinMouseLeave(ui::TControl* Sender) { HideCategoryHint(Sender); }

void TfrmMain::cbTempFoldersAndFilesMouseLeave(ui::TControl* Sender) { HideCategoryHint(Sender); }

// A pointer that goes straight from one box to the next may be reported entering the next before
// leaving the first: the hint that the next box showed meanwhile stays.
void TfrmMain::HideCategoryHint(const ui::TControl* Sender) {
  for (const TGarbageCategory& category : GarbageCategories())
    if (Sender && Sender->Name() == category.check_box && lbHint->Caption() != ui::Tr(category.hint)) return;
  lbHint->SetCaption("");
  panelHint->SetVisible(false);
  lbHintPlaceholder->SetVisible(imgStart->Visible());  // on the settings page only
}

void TfrmMain::lbAdvancedOptionsClick(ui::TControl*) { ctx_.forms.frmOptions->ShowModal(); }

void TfrmMain::lbAboutClick(ui::TControl*) { ctx_.forms.frmAbout->ShowModal(); }

// Shared by both links.
void TfrmMain::lbAdvancedOptionsMouseEnter(ui::TControl* Sender) { Sender->SetFontColor(ui::clRed); }

void TfrmMain::lbAdvancedOptionsMouseLeave(ui::TControl* Sender) { Sender->SetFontColor(ui::clBlue); }

void TfrmMain::btnBacktoSettingsClick(ui::TControl*) {
  // A stopped scan's end report would otherwise bring the results page back over the settings.
  FinishStoppedScan();
  ui::TFormUpdate batch(*this);
  ShowResultsPage(false);
  ShowScanningPage(false);
  ShowSettingsPage(true);
}

// Opens the selected object with its default action; the outcome is not reported.
void TfrmMain::lvFoundDblClick(ui::TControl*) {
  const ui::TListItem* row = lvFound->Selected();
  if (!row) return;
  ctx_.os.shell.Execute(Handle(), "", row->Caption());
}

void TfrmMain::execTimerTimer(ui::TTimer*) {
  ++TimerTicks;
  // Long scans and cleaning runs pile up memory; give it back every ten seconds.
  if (TimerTicks % 10 == 0) TrimWorkingSet(ctx_.os.system);
  ctx_.os.debug.Write("timer: " + std::to_string(TimerTicks));
}
