// The cleaning run: "Clean All" and "Clean Selected", the delete worker's start and its reports,
// written into the 'Cleaning Status' column. Runs on the main thread only.
#include <cmath>
#include <cstdio>
#include <set>

#include "app/dlgMain.h"
#include "clean/delete_thread.h"
#include "clean/dlgAlert.h"
#include "platform/text.h"
#include "scan/search_thread.h"

namespace {

constexpr double kMegabyte = 1048576.0;
constexpr size_t kSizeColumn = 0;    // sub-item of 'Size on Disk'
constexpr size_t kStatusColumn = 1;  // sub-item of 'Cleaning Status'

double RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double fraction = value - floor;
  if (fraction > 0.5) return floor + 1;
  if (fraction < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

// The share of the listed size that is gone, as a whole percentage. Not clamped: files that grew
// after the scan give a negative figure. A listed size of 0 (or one that cannot be read) leaves
// nothing to measure against: nothing of it can have been freed, so the share is 0, which never
// claims more than was done ("Partial Delete" already says that files remain).
std::string DeletedPercentage(double left_mb, double listed_mb) {
  if (!(listed_mb > 0) || !std::isfinite(listed_mb)) return "0";
  const double percent = 100 - RoundHalfEven(left_mb / listed_mb * 100);
  char text[64];
  std::snprintf(text, sizeof text, "%.0f", percent + 0.0);
  return text;
}

}  // namespace

void TfrmMain::btnCleanAllClick(ui::TControl*) {
  std::vector<std::string> items;
  for (int i = 0; i < lvFound->Count(); ++i) items.push_back(lvFound->Item(i)->Caption());
  if (items.empty()) {
    TfrmAlert* alert = ctx_.forms.frmAlert;
    alert->SetCaption("Cannot start cleaning");
    alert->lbCaption->SetCaption("Nothing to Clean.");
    alert->lbMessage->SetCaption("There are no objects for cleaning.");
    alert->ShowModal();
    return;
  }
  StartCleaning(items);
}

void TfrmMain::btnCleanSelectedClick(ui::TControl*) {
  std::vector<std::string> items;
  for (int i = 0; i < lvFound->Count(); ++i)
    if (lvFound->Item(i)->Checked()) items.push_back(lvFound->Item(i)->Caption());
  if (items.empty()) {
    TfrmAlert* alert = ctx_.forms.frmAlert;
    alert->SetCaption("Cannot start cleaning");
    alert->lbCaption->SetCaption("Nothing selected.");
    alert->lbMessage->SetCaption(
        "No one garbage object selected in results, check minimum one row in table for cleaning.");
    alert->ShowModal();
    return;
  }
  StartCleaning(items);
}

void TfrmMain::StartCleaning(const std::vector<std::string>& Items) {
  TrayIcon1->SetVisible(false);
  TrayIcon2->SetIcons(ilDelete);
  TrayIcon2->SetAnimateInterval(100);
  TrayIcon2->SetVisible(true);
  TrayIcon2->SetAnimate(true);

  if (!PrepareCleaningView(true)) {
    PrepareCleaningView(false);
    ShowResultsPage(true);
    TrayIcon2->SetAnimate(false);
    TrayIcon2->SetVisible(false);
    TrayIcon1->SetVisible(true);
    return;
  }

  execTimer->SetEnabled(true);
  auto* worker = new TDeleteThread(ctx_.main_thread, ctx_.os);
  worker->FreeOnTerminate = true;
  worker->FOnFileDeleted = [this](const std::string& item) { CleanFileDeleted(item); };
  worker->FOnFolderDeleted = [this](const std::string& item) { CleanFolderDeleted(item); };
  worker->FOnPartialDelete = [this](const std::string& item, const std::vector<std::string>& left) {
    CleanPartialDelete(item, left);
  };
  worker->FOnCannotDelete = [this](const std::string& item, const std::string& reason) {
    CleanCannotDelete(item, reason);
  };
  worker->FOnFinished = [this] { CleanFinished(); };
  worker->FOnItemStarted = [this](const std::string& item) { CleanItemStarted(item); };
  FDeleteThread = worker;
  // Outcomes find their row by caption with letter case ignored, so a second row of the same path
  // could only give the first row a second, misleading outcome (its object is gone by then): each
  // path is deleted once, and the lower row keeps "Queued...".
  std::vector<std::string> unique_items;
  std::set<std::string> seen;
  for (const std::string& item : Items)
    if (seen.insert(platform::UpperCase(item)).second) unique_items.push_back(item);
  worker->SetJobList(unique_items);

  btnCleanSelected->SetEnabled(false);
  btnCleanAll->SetEnabled(false);
  btnBacktoSettings->SetEnabled(false);
  worker->Resume();
}

ui::TListItem* TfrmMain::FindRowByPath(const std::string& Path) { return lvFound->FindCaption(0, Path); }

void TfrmMain::CleanItemStarted(const std::string& Item) {
  lbCurrentPath->SetCaption(Item);
  if (ui::TListItem* row = FindRowByPath(Item)) row->SetSubItem(kStatusColumn, "Processing...");
}

void TfrmMain::CleanFileDeleted(const std::string& Item) {
  if (ui::TListItem* row = FindRowByPath(Item)) {
    row->SetSubItem(kStatusColumn, "File Deleted");
    lbCurrentPath->SetCaption(Item);
  }
}

void TfrmMain::CleanFolderDeleted(const std::string& Item) {
  if (ui::TListItem* row = FindRowByPath(Item)) row->SetSubItem(kStatusColumn, "Folder Deleted");
  lbCurrentPath->SetCaption(Item);
}

void TfrmMain::CleanPartialDelete(const std::string& Item, const std::vector<std::string>& FilesLeft) {
  lbCurrentPath->SetCaption(Item);
  platform::FileSystem& files = ctx_.os.files;
  platform::DebugOutput& debug = ctx_.os.debug;
  const char separator = ctx_.os.system.DecimalSeparator();

  double left = 0;
  for (const std::string& path : FilesLeft) {
    if (!files.FileExists(path)) continue;
    left += static_cast<double>(GetFileSizeByName(files, path));
    debug.Write("Main T (Partial Delete):  " + platform::FormatGeneral(left, 15, separator) + " ++++ " + path);
  }
  left /= kMegabyte;

  ui::TListItem* row = FindRowByPath(Item);
  if (!row) {
    debug.Write("Node nil");
    return;
  }
  const std::string size_text = row->SubItem(kSizeColumn);
  std::string figure_text = platform::ReplaceAllIgnoreCase(size_text, "bytes", "");
  std::erase(figure_text, ' ');
  double listed = platform::StrToFloat(figure_text, separator).value_or(0);
  if (platform::ContainsText(size_text, "Bytes")) listed /= kMegabyte;
  debug.Write("Main T (Partial Delete):  " + platform::FormatGeneral(left, 15, separator) + " ---- " + figure_text);

  row->SetSubItem(kStatusColumn, "Partial Delete ( " + DeletedPercentage(left, listed) + "% )");
}

void TfrmMain::CleanCannotDelete(const std::string& Item, const std::string&) {
  if (ui::TListItem* row = FindRowByPath(Item)) {
    row->SetSubItem(kStatusColumn, "Cannot Delete");
  } else {
    ctx_.os.debug.Write("Node nil 2");
  }
  ctx_.os.debug.Write("Main T (Cannot Delete) " + Item);
  lbCurrentPath->SetCaption(Item);
}

void TfrmMain::CleanFinished() {
  // The worker frees itself once this returns.
  FDeleteThread = nullptr;
  btnCleanSelected->SetEnabled(true);
  btnCleanAll->SetEnabled(true);
  btnBacktoSettings->SetEnabled(true);
  lbCurrentPath->SetVisible(false);
  execTimer->SetEnabled(false);
  TrayIcon2->SetAnimate(false);
  TrayIcon2->SetVisible(false);
  TrayIcon1->SetVisible(true);
  TrayIcon1->SetBalloonFlags(ui::TBalloonFlags::bfInfo);
  TrayIcon1->SetBalloonHint("Cleaning finished.");
  TrayIcon1->ShowBalloonHint();
}
