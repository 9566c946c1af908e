// Cleaning: "Clean All", "Clean Selected", the running-applications check before a run, and the
// delete worker's outcomes written into the 'Cleaning Status' column. Main thread only.
#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "app/dlgMain.h"
#include "clean/dlgAlert.h"
#include "clean/is_admin.h"
#include "clean/restart_removal.h"
#include "processes/dlgStartedApps.h"
#include "processes/myprocessunit.h"
#include "processes/watched_browsers.h"
#include "settings/dlgOptions.h"
#include "ui/tr.h"

namespace {

constexpr size_t kSizeColumn = 0;    // sub-item of 'Size on Disk'
constexpr size_t kStatusColumn = 1;  // sub-item of 'Cleaning Status'

// An outcome as its row shows it, in the user's language; the run's own texts stay English for
// the reports. A partial deletion carries its share: "Partial Delete ( 40% )".
std::string ShownOutcome(const std::string& status) {
  constexpr std::string_view kPartial = "Partial Delete ( ", kPartialEnd = "% )";
  if (status.size() > kPartial.size() + kPartialEnd.size() && status.starts_with(kPartial) &&
      status.ends_with(kPartialEnd)) {
    const std::string share = status.substr(kPartial.size(), status.size() - kPartial.size() - kPartialEnd.size());
    return ui::Format(ui::Tr("Partial Delete ( %1% )"), {share});
  }
  return ui::Tr(status);
}

// A row with the kind and the file id of the object the scan found at its path, so that the
// cleaning can refuse one replaced since.
TCleanItem ItemOf(const ui::TListItem& row, const TScanRun* scan) {
  TCleanItem item{row.Caption(), row.SubItem(kSizeColumn), std::nullopt, row.Id};
  if (scan) item.Folder = scan->FoundAsFolder(item.Path);
  return item;
}

}  // namespace

void TfrmMain::btnCleanAllClick(ui::TControl*) {
  // Rows a stopped scan still adds belong to the list being cleaned.
  FinishStoppedScan();
  if (!FCleanRows.empty()) return;  // already being collected
  for (int i = 0; i < lvFound->Count(); ++i) FCleanRows.push_back(lvFound->Item(i));
  if (FCleanRows.empty()) {
    TfrmAlert* alert = ctx_.forms.frmAlert;
    alert->SetCaption(ui::Tr("Cannot start cleaning"));
    alert->lbCaption->SetCaption(ui::Tr("Nothing to Clean."));
    alert->lbMessage->SetCaption(ui::Tr("There are no objects for cleaning."));
    alert->ShowModal();
    return;
  }
  CollectCleanItems();
}

void TfrmMain::btnCleanSelectedClick(ui::TControl*) {
  FinishStoppedScan();
  if (!FCleanRows.empty()) return;  // already being collected
  for (int i = 0; i < lvFound->Count(); ++i)
    if (lvFound->Item(i)->Checked()) FCleanRows.push_back(lvFound->Item(i));
  if (FCleanRows.empty()) {
    TfrmAlert* alert = ctx_.forms.frmAlert;
    alert->SetCaption(ui::Tr("Cannot start cleaning"));
    alert->lbCaption->SetCaption(ui::Tr("Nothing selected."));
    alert->lbMessage->SetCaption(
        ui::Tr("No one garbage object selected in results, check minimum one row in table for cleaning."));
    alert->ShowModal();
    return;
  }
  CollectCleanItems();
}

// The rows to clean are taken a slice per turn of the message loop: copying 190,000 paths at once
// held the window for more than a tenth of a second. The buttons are off meanwhile, so the rows
// cannot change under it (a new scan would clear them), and sorting moves rows, not the items.
void TfrmMain::CollectCleanItems() {
  if (FCleanRows.empty()) return;  // the window closed meanwhile
  if (FCleanItems.empty()) {
    EnableCleanButtons(false);
    FCleanItems.reserve(FCleanRows.size());
  }
  if (FCleanItems.size() < FCleanRows.size()) {
    const size_t end = std::min(FCleanRows.size(), FCleanItems.size() + kCleanItemsPerTurn);
    for (size_t i = FCleanItems.size(); i < end; ++i) FCleanItems.push_back(ItemOf(*FCleanRows[i], FScan.get()));
    // A list of more than one slice starts its run on a turn of its own as well.
    if (FCleanRows.size() > kCleanItemsPerTurn) {
      PostMessage(WM_COLLECTCLEANITEMS);
      return;
    }
  }
  FCleanRows.clear();
  StartCleaning(std::exchange(FCleanItems, {}));
}

void TfrmMain::StartCleaning(std::vector<TCleanItem> Items) {
  // At most one delete worker.
  if (FCleaning && FCleaning->WorkerRunning()) return;
  // Exclusions added since the scan (the user's, or by a policy) hold too, and what changed since
  // is looked at again.
  RefreshPolicy();
  const TfrmOptions* options = ctx_.forms.frmOptions;
  TScanFilters filters;
  try {
    filters = CurrentFilters();
  } catch (const std::exception& error) {
    ctx_.app.ShowException(error);
    EnableCleanButtons(true);
    return;
  }
  TrayIcon2->SetAnimateInterval(100);
  ShowBusyTrayIcon(ilDelete);

  // Asked before the page changes: a batch of changes must not hold a modal loop.
  const bool go_ahead = BrowsersLetCleaningStart();
  // The page changes for the run, or back, are painted once.
  ui::TFormUpdate batch(*this);
  if (!go_ahead) {
    PrepareCleaningView(false);
    ShowResultsPage(true);
    ShowIdleTrayIcon(true);
    return;
  }
  PrepareCleaningView(true);

  execTimer->SetEnabled(true);
  TCleaningRunEvents events;
  events.OnItemStarted = [this](const std::string& Item) { CleanItemStarted(Item); };
  events.OnOutcome = [this](const std::string& Item, const std::string& Status) { CleanOutcome(Item, Status); };
  events.OnBatchEnd = [this] { lbCurrentPath->SetCaption(FLastCleanItem); };
  events.OnFinished = [this] { CleanFinished(); };
  FCleaning.reset();
  FCleaning = std::make_unique<TCleaningRun>(ctx_.main_thread, ctx_.os, std::move(events));

  EnableCleanButtons(false);
  // The secure-erase box is read as each run starts: it holds for that run only.
  FCleaning->Start(std::move(Items), options && options->CheckBox1->Checked(), filters);
}

// Outcomes find their row by path, letter case ignored; the first row of a path is the one. The
// list keeps an index of its captions, so a run stays linear in its rows.
ui::TListItem* TfrmMain::FindRowByPath(const std::string& Path) { return lvFound->FindCaption(0, Path); }

// The label over the picture shows the item reached last, once per batch of reports: repainting it
// for every item cost more than deleting the item.
void TfrmMain::CleanItemStarted(const std::string& Item) {
  FLastCleanItem = Item;
  if (ui::TListItem* row = FindRowByPath(Item)) row->SetSubItem(kStatusColumn, ui::Tr("Processing..."));
}

void TfrmMain::CleanOutcome(const std::string& Item, const std::string& Status) {
  FLastCleanItem = Item;
  if (ui::TListItem* row = FindRowByPath(Item)) {
    row->SetSubItem(kStatusColumn, ShownOutcome(Status));
  } else {
    ctx_.os.debug.Write("Node nil 2");
  }
}

void TfrmMain::EnableCleanButtons(bool Enabled) {
  btnCleanSelected->SetEnabled(Enabled);
  btnCleanAll->SetEnabled(Enabled);
  btnBacktoSettings->SetEnabled(Enabled);
}

void TfrmMain::CleanFinished() {
  EnableCleanButtons(true);
  lbCurrentPath->SetVisible(false);
  execTimer->SetEnabled(false);
  ShowIdleTrayIcon(true);
  TrayIcon1->SetBalloonFlags(ui::TBalloonFlags::bfInfo);
  TrayIcon1->SetBalloonHint(ui::Tr("Cleaning finished."));
  TrayIcon1->ShowBalloonHint();
  if (FCleaning && !FCleaning->Unfinished().empty()) {
    FRestartOfferDue = true;
    PostMessage(WM_OFFERRESTARTREMOVAL);
  }
}

void TfrmMain::OfferRemovalAtRestart() {
  if (!FRestartOfferDue || !FCleaning) return;
  FRestartOfferDue = false;
  // The run has sent its last report; its worker may still be on its way out.
  FCleaning->WaitForWorker();
  if (!IsAdmin(ctx_.os.security)) return;
  // Only what is still there and may be deleted is offered; the options as they are now decide.
  const TScanFilters filters = CurrentFilters();
  std::vector<std::pair<std::string, std::vector<std::string>>> offered;
  for (const std::string& item : FCleaning->Unfinished()) {
    std::vector<std::string> paths = RestartRemovalPaths(ctx_.os.files, item, filters);
    if (!paths.empty()) offered.emplace_back(item, std::move(paths));
  }
  if (offered.empty()) return;
  TfrmAlert* alert = ctx_.forms.frmAlert;
  alert->SetCaption(ui::Tr("Items in use"));
  alert->lbCaption->SetCaption(ui::Tr("Remove at restart?"));
  alert->lbMessage->SetCaption(
      ui::Format(ui::TrN("%1 item is in use by other programs and could not be removed.",
                         "%1 items are in use by other programs and could not be removed.", offered.size()),
                 {std::to_string(offered.size())}) +
      "\r\n\r\n" + ui::Tr("Remove them when Windows starts next time?"));
  if (!alert->Ask()) return;
  for (const auto& [item, paths] : offered) {
    ui::TListItem* row = FindRowByPath(item);
    if (ScheduleRemovalAtRestart(ctx_.os.files, paths)) {
      if (row) row->SetSubItem(kStatusColumn, ui::Tr("Deleted at Restart"));
    } else {
      ctx_.os.debug.Write("Main T (Restart) refused: " + item);
    }
  }
}

bool TfrmMain::BrowsersLetCleaningStart() {
  platform::Processes& processes = ctx_.os.processes;
  TfrmStartedApps* dialog = ctx_.forms.frmStartedApps;
  const std::vector<TWatchedBrowser> running = RunningWatchedBrowsers(processes);
  dialog->ListBox1->Clear();
  for (const TWatchedBrowser& browser : running) dialog->ListBox1->Add(browser.DisplayName);
  if (running.empty()) return true;
  const ui::TModalResult answer = dialog->ShowModal();
  if (answer == ui::TModalResult::mrYes) {
    for (const TWatchedBrowser& browser : running) TerminateProcessesByName(processes, browser.ProcessName);
    return true;
  }
  return answer == ui::TModalResult::mrIgnore;  // not Cancel, the close box or any other answer
}

void TfrmMain::PrepareCleaningView(bool Starting) {
  lbTracesLabel->SetVisible(false);
  lbSummarySize->SetVisible(false);
  lbBinsFound->SetVisible(false);
  lbBinsSize->SetVisible(false);
  TimerTicks = 0;
  lbCurrentPosition->SetVisible(Starting);
  lbCurrentPath->SetVisible(Starting);

  if (Starting) {
    RepaintAboutLink();
    lvFound->SetColumnWidth(kStatusColumn + 1, 150);
    lvFound->SetColumnWidth(0, 370);
    // Every outcome a row can show, in the language shown, fits the column.
    std::vector<std::string> outcomes = {ui::Tr("Cleaning Status"), ui::Tr("Processing..."),
                                         ui::Tr("Deleted at Restart"), ShownOutcome("Partial Delete ( 100% )")};
    for (const char* outcome : TCleaningRun::kOutcomes) outcomes.push_back(ui::Tr(outcome));
    lvFound->FitColumnTo(kStatusColumn + 1, std::move(outcomes));
  }
}
