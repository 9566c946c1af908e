// The scan worker's reports and "Stop Scanning". Runs on the main thread only, while the worker
// waits in Synchronize.
#include "app/dlgMain.h"
#include "platform/text.h"
#include "scan/search_thread.h"
#include "scan/size_text.h"
#include "settings/dlgOptions.h"

namespace {

constexpr int64_t kDefaultNoiseLevel = 4096;

// The options dialog does not check what the user types: a text that is not a whole number
// counts as the default, so that every report still reaches the list and the scan its end.
int64_t NoiseLevel(const TContext& context) {
  const TfrmOptions* options = context.forms.frmOptions;
  if (options == nullptr) return kDefaultNoiseLevel;
  return platform::StrToInt64(platform::Trim(options->editNoiseLevel->Text())).value_or(kDefaultNoiseLevel);
}

}  // namespace

void TfrmMain::SearchThreadFoundObject(const std::string& Path, int64_t Size) {
  FFoundPaths.push_back(Path);
  FFoundSizes.push_back(std::to_string(Size));
  FTotalSizeMB += static_cast<double>(Size) / kBytesPerMegabyte;
  ShowLastFoundObject();
}

void TfrmMain::ShowLastFoundObject() {
  if (FFoundSizes.empty()) return;
  const int64_t size = platform::StrToInt64(FFoundSizes.back()).value_or(0);
  if (size < NoiseLevel(context())) return;

  const char separator = context().os.system.DecimalSeparator();
  ui::TListItem* row = lvFound->Insert(0);
  row->SetCaption(FFoundPaths.back());
  row->AddSubItem(SizeText(size, separator));
  row->AddSubItem("Queued...");

  lbBinsFound->SetCaption(std::to_string(lvFound->Count()) + " ( " + std::to_string(FFoundPaths.size()) + " )");
  lbBinsSize->SetCaption(MegabytesText(FTotalSizeMB, separator) + " MB");
}

void TfrmMain::SearchThreadCurrentFolder(const std::string& Folder) { lbCurrentPath->SetCaption(Folder); }

void TfrmMain::SearchThreadFinished() {
  // The worker frees itself once this report returns.
  FSearchThread = nullptr;
  btnStart->SetEnabled(true);
  execTimer->SetEnabled(false);
  TrayIcon2->SetAnimate(false);
  TrayIcon2->SetVisible(false);
  TrayIcon1->SetVisible(true);
  TimerTicks = 0;
  TrayIcon1->SetBalloonFlags(ui::TBalloonFlags::bfInfo);
  TrayIcon1->SetBalloonHint("Scan finished. \n\r" + std::to_string(lvFound->Count()) + " garbage objects found.");
  TrayIcon1->ShowBalloonHint();
  ShowScanningPage(false);
  ShowResultsPage(true);
}

void TfrmMain::btnCancelClick(ui::TControl*) {
  if (FSearchThread != nullptr) FSearchThread->FStopSearch = true;
  btnCancel->SetEnabled(false);
  lbCurrentPosition->SetVisible(false);
  lbCurrentPath->SetVisible(false);
  ShowResultsPage(true);
}
