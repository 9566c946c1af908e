// Scanning: the start, the scan worker's reports and "Stop Scanning", wired to the controls.
// Runs on the main thread only.
#include <cstdint>
#include <exception>

#include "app/dlgMain.h"
#include "clean/is_admin.h"
#include "ini/mem_ini_file.h"
#include "scan/size_text.h"
#include "settings/dlgOptions.h"
#include "settings/system_paths.h"
#include "settings/user_profiles.h"
#include "ui/tr.h"

void TfrmMain::btnStartClick(ui::TControl*) {
  // At most one scan worker: a stopped one still finishing its folder ends first, into its own
  // list, which this start then clears.
  FinishStoppedScan();
  if (FCleaning && FCleaning->WorkerRunning()) return;
  // A policy changed since the last run holds for this one.
  RefreshPolicy();

  lvFound->Clear();
  // A new list comes newest first again.
  lvFound->SetSortIndicator(-1, true);
  TScanRunEvents events;
  events.OnRowsPending = [this] { QueueFoundRows(); };
  events.OnCurrentFolder = [this](const std::string& Folder) { SearchThreadCurrentFolder(Folder); };
  events.OnFinished = [this] { SearchThreadFinished(); };
  const TfrmOptions* options = ctx_.forms.frmOptions;
  const int64_t noise_level = options ? ParseNoiseLevel(options->editNoiseLevel->Text()) : kDefaultNoiseLevel;
  FScan.reset();
  FScan = std::make_unique<TScanRun>(ctx_.main_thread, ctx_.os.files, ctx_.os.debug, noise_level, std::move(events));

  btnStart->SetEnabled(false);
  btnCancel->SetEnabled(true);
  execTimer->SetEnabled(true);

  const bool tray_icon_was_visible = TrayIcon1->Visible();
  ShowBusyTrayIcon(ilScanning);

  {
    ui::TFormUpdate batch(*this);
    ShowSettingsPage(false);
    ShowScanningPage(true);
  }

  TScanJob job;
  try {
    job = BuildScanJob();
  } catch (const std::exception& error) {
    // No scan runs, and the window goes back to the settings page ready for another start.
    ctx_.app.ShowException(error);
    FScan.reset();
    execTimer->SetEnabled(false);
    TimerTicks = 0;
    ShowIdleTrayIcon(tray_icon_was_visible);
    btnCancel->SetEnabled(false);
    btnStart->SetEnabled(true);
    ShowScanningPage(false);
    ShowSettingsPage(true);
    return;
  }
  FScan->Start(job);
}

TScanJob TfrmMain::BuildScanJob(const std::vector<TUserProfile>* Profiles) {
  TScanJob job;
  // The running account's folders, which each profile's are made from.
  const TUserFolders own_folders = Profiles ? OwnFolders() : TUserFolders();
  if (FTraceDefinitions) {
    platform::Platform& os = ctx_.os;
    const platform::WindowHandle owner = Handle();
    const TFolderLookup own = [&os, owner](const TFolderSource& source) {
      return source.kind == TFolderSource::kWindowsDir ? GetWindowsDir(os.files)
                                                       : GetSpecialFolderPath(os.shell, owner, source.csidl);
    };
    const TDebugLine debug = [&os](const std::string& line) { os.debug.Write(line); };
    // The user's own rules, read afresh for every scan, serve the same categories under the same
    // guard of what users keep.
    const std::string custom_file = FSettingsFolder + kCustomTraceFile;
    std::unique_ptr<TMemIniFile> custom;
    if (os.files.FileExists(custom_file)) {
      custom = std::make_unique<TMemIniFile>(os.files, custom_file);
      if (custom->Unreadable()) {
        debug("Trace rules: " + custom_file + " could not be read");
        custom.reset();
      }
    }
    const auto add = [&](const TFolderLookup& lookup) {
      AddTraceRules(*FTraceDefinitions, TickedCategories(), lookup, job, debug);
      if (custom) AddTraceRules(*custom, TickedCategories(), lookup, job, debug);
    };
    if (!Profiles) {
      add(own);
    } else {
      // Each profile's rules: the folders of the running account moved into that profile. The
      // machine's own folders stay as they are, so their rules come out alike and are kept once.
      for (const TUserProfile& profile : *Profiles)
        add([&](const TFolderSource& source) {
          return FolderOfProfile(own(source), own_folders.profile, profile.Folder);
        });
      RemoveRepeatedRules(job);
    }
  }
  if (const TfrmOptions* options = ctx_.forms.frmOptions) job.Drives = options->TickedDisks();
  job.Filters = CurrentFilters();
  if (Profiles) job.Filters.UserData = EveryUsersGuard(own_folders, *Profiles);
  // An elevated run may read each drive's file table instead of walking its folders.
  job.ReadFileTables = IsElevatedAdmin(ctx_.os.security);
  return job;
}

TScanFilters TfrmMain::CurrentFilters() {
  TScanFilters filters;
  if (const TfrmOptions* options = ctx_.forms.frmOptions) filters = options->ScanFilters(ctx_.os.system.Now());
  filters.UserData = UserDataGuard();
  return filters;
}

TUserFolders TfrmMain::OwnFolders() {
  // A folder the shell cannot give leaves its part of the guard to the names alone.
  const auto folder = [this](int csidl) {
    try {
      return GetSpecialFolderPath(ctx_.os.shell, Handle(), csidl);
    } catch (const std::exception&) {
      return std::string();
    }
  };
  TUserFolders folders;
  folders.local_app_data = folder(platform::kCsidlLocalAppData);
  folders.roaming_app_data = folder(platform::kCsidlAppData);
  folders.profile = folder(platform::kCsidlProfile);
  folders.common_app_data = folder(platform::kCsidlCommonAppData);
  folders.windows = GetWindowsDir(ctx_.os.files);
  return folders;
}

TUserData TfrmMain::UserDataGuard() { return TUserData(OwnFolders()); }

TUserData TfrmMain::EveryUsersGuard(const TUserFolders& own, const std::vector<TUserProfile>& Profiles) {
  std::vector<TUserFolders> users{own};
  for (const TUserProfile& profile : Profiles) {
    TUserFolders folders = own;
    for (std::string* folder : {&folders.local_app_data, &folders.roaming_app_data, &folders.profile})
      *folder = FolderOfProfile(*folder, own.profile, profile.Folder);
    users.push_back(folders);
  }
  return TUserData(users);
}

// The run has recorded the object already; a row is all that is left to add. The labels that sum
// the rows up are refreshed once per turn of rows (ShowFoundRows), not once per row.
void TfrmMain::SearchThreadFoundObject(const std::string& Path, int64_t Size, platform::FileId Id) {
  ui::TListItem* row = lvFound->Insert(0);
  row->SetCaption(Path);
  row->Data = Size;
  row->Id = Id;
  row->AddSubItem(SizeText(Size, ctx_.os.system.DecimalSeparator()));
  row->AddSubItem(ui::Tr("Queued..."));
}

void TfrmMain::QueueFoundRows() {
  if (FFoundRowsPosted) return;
  FFoundRowsPosted = true;
  PostMessage(WM_SHOWFOUNDROWS);
}

void TfrmMain::ShowFoundRows(size_t most) {
  if (!FScan) return;
  FScan->TakeRows(most, [this](const std::string& Path, int64_t Size, platform::FileId Id) {
    SearchThreadFoundObject(Path, Size, Id);
  });
  ShowScanTotals();
}

void TfrmMain::ShowScanTotals() {
  if (!FScan || !FScan->TakeShownTotalsChanged()) return;
  lbBinsFound->SetCaption(FScan->TracesFoundText());
  lbBinsSize->SetCaption(FScan->SummarySizeText(ctx_.os.system.DecimalSeparator()));
}

void TfrmMain::SearchThreadCurrentFolder(const std::string& Folder) { lbCurrentPath->SetCaption(Folder); }

void TfrmMain::SearchThreadFinished() {
  // The results page and the balloon show every object found.
  ShowFoundRows(SIZE_MAX);
  btnStart->SetEnabled(true);
  execTimer->SetEnabled(false);
  ShowIdleTrayIcon(true);
  TimerTicks = 0;
  TrayIcon1->SetBalloonFlags(ui::TBalloonFlags::bfInfo);
  TrayIcon1->SetBalloonHint(ScanFinishedBalloon(lvFound->Count()));
  TrayIcon1->ShowBalloonHint();
  ui::TFormUpdate batch(*this);
  ShowScanningPage(false);
  ShowResultsPage(true);
}

void TfrmMain::btnCancelClick(ui::TControl*) {
  if (FScan) FScan->Stop();
  // The results page shows at once, with every object found so far.
  ShowFoundRows(SIZE_MAX);
  ui::TFormUpdate batch(*this);
  btnCancel->SetEnabled(false);
  lbCurrentPosition->SetVisible(false);
  lbCurrentPath->SetVisible(false);
  ShowResultsPage(true);
}

void TfrmMain::FinishStoppedScan() {
  if (!FScan || !FScan->WorkerRunning()) return;
  FScan->Stop();
  FScan->WaitForWorker();
}
