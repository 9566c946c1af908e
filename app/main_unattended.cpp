// The unattended run: the saved settings are loaded into the controls as for a shown window, the
// scan and the cleaning run as the buttons would start them, and the window stays hidden. Only
// the tray icon shows what goes on. Main thread only.
#include <exception>
#include <memory>
#include <utility>

#include "app/dlgMain.h"
#include "app/run_summary.h"
#include "clean/is_admin.h"
#include "context/version.h"
#include "platform/exception.h"
#include "processes/watched_browsers.h"
#include "settings/dlgOptions.h"
#include "settings/system_paths.h"
#include "ui/tr.h"

void TfrmMain::RunUnattended(const TCommandLine& Line, bool AnotherInstance) {
  FUnattended = true;
  FLine = Line;
  FUnattendedStarted = ctx_.os.system.Now();
  TRunFacts started;
  started.ProgramVersion = CX_VERSION_TEXT;
  started.Mode = Line.Mode == TRunMode::kScanOnly ? "scan" : "auto";
  ctx_.os.events.Write(platform::EventKind::kInformation, platform::kEventRunStarted, RunStartedText(started));
  if (AnotherInstance || !IsSupportedVersion(GetWindowsVersionCode(ctx_.os.system))) {
    EndUnattended(kExitRefused, false);
    return;
  }
  if (Line.AllUsers && !IsElevatedAdmin(ctx_.os.security)) {
    // Other users' profiles are theirs: only an administrator's elevated run may read and clean them.
    FRefusal = "Clutterix: /allusers needs administrator rights (run it elevated, or as SYSTEM); nothing was scanned.";
    ctx_.os.debug.Write("Unattended: refused, /allusers needs administrator rights");
    EndUnattended(kExitRefused, false);
    return;
  }
  try {
    LoadSettings();
    if (Line.AllUsers) FProfiles = MachineUserProfiles(ctx_.os.registry, ctx_.os.system);
    FUnattendedJob = BuildScanJob(Line.AllUsers ? &FProfiles : nullptr);
  } catch (const std::exception& error) {
    ctx_.os.debug.Write(std::string("Unattended: refused, ") + error.what());
    EndUnattended(kExitRefused, false);
    return;
  }
  const TfrmOptions* options = ctx_.forms.frmOptions;
  const int64_t noise_level = options ? ParseNoiseLevel(options->editNoiseLevel->Text()) : kDefaultNoiseLevel;
  TScanRunEvents events;
  events.OnFoundObject = [this](const std::string& Path, int64_t Size) {
    FReport.Add(Path, Size, TUnattendedReport::CategoryOf(FUnattendedJob, Path), FScan->Listed(Size));
  };
  events.OnFinished = [this] { UnattendedScanFinished(); };
  FScan = std::make_unique<TScanRun>(ctx_.main_thread, ctx_.os.files, ctx_.os.debug, noise_level, std::move(events));

  TrayIcon2->SetHint(ui::Tr("Clutterix: scanning"));
  ShowBusyTrayIcon(ilScanning);
  FScan->Start(FUnattendedJob);
}

void TfrmMain::UnattendedScanFinished() {
  // The kind and the file id each object was found with go with it, so that one replaced since
  // is refused.
  std::vector<TCleanItem> items;
  for (size_t i = 0; i < FScan->FoundPaths().size(); ++i) {
    const std::string& path = FScan->FoundPaths()[i];
    if (FScan->Listed(FScan->FoundSizes()[i]))
      items.push_back({path, "", FScan->FoundAsFolder(path), FScan->FoundIds()[i]});
  }
  if (FLine.Mode == TRunMode::kScanOnly || items.empty()) {
    EndUnattended(FReport.ExitCode(false), true);
    return;
  }
  // Nobody is there to answer the running-applications dialog: the browsers stay open, as with
  // its "Skip", and the report names them.
  std::vector<std::string> running;
  for (const TWatchedBrowser& browser : RunningWatchedBrowsers(ctx_.os.processes))
    running.push_back(browser.DisplayName);
  FReport.SetRunningBrowsers(running);

  TScanFilters filters = CurrentFilters();
  filters.UserData = FUnattendedJob.Filters.UserData;  // every user's places on an /allusers run

  TCleaningRunEvents events;
  const size_t total = items.size();
  auto started = std::make_shared<size_t>(0);
  events.OnItemStarted = [this, total, started](const std::string&) {
    TrayIcon2->SetHint(
        ui::Format(ui::Tr("Clutterix: cleaning %1 of %2"), {std::to_string(++*started), std::to_string(total)}));
  };
  events.OnOutcome = [this](const std::string& Item, const std::string& Status) { FReport.SetOutcome(Item, Status); };
  events.OnFinished = [this] { UnattendedCleaningFinished(); };
  TrayIcon2->SetIcons(ilDelete);
  TrayIcon2->SetAnimateInterval(100);
  FCleaning = std::make_unique<TCleaningRun>(ctx_.main_thread, ctx_.os, std::move(events));
  FCleaning->Start(std::move(items), false, filters);
}

void TfrmMain::UnattendedCleaningFinished() { EndUnattended(FReport.ExitCode(true), true); }

void TfrmMain::EndUnattended(int ExitCode, bool WriteReport) {
  TrayIcon2->SetAnimate(false);
  TrayIcon2->SetVisible(false);
  int code = ExitCode;
  // A report that cannot be written leaves the run unaccounted for: it counts as a failure. The
  // summary comes last, so that it holds the code the run ends with.
  const auto write = [&](const std::string& file, const std::string& text) {
    if (auto reason = ctx_.os.files.WriteFile(file, text)) {
      ctx_.os.debug.Write("Unattended: the report " + file + " could not be written. " + *reason);
      if (code == kExitCleaned || code == kExitNothingFound) code = kExitSomeFailed;
    }
  };
  if (WriteReport && !FLine.ReportFile.empty()) write(FLine.ReportFile, FReport.Csv());
  if (WriteReport && !FLine.JsonFile.empty()) {
    TRunFacts facts;
    facts.ProgramVersion = CX_VERSION_TEXT;
    facts.Machine = ctx_.os.system.ComputerName();
    facts.Mode = FLine.Mode == TRunMode::kScanOnly ? "scan" : "auto";
    facts.Started = FUnattendedStarted;
    facts.Ended = ctx_.os.system.Now();
    if (FLine.AllUsers) {
      for (const TUserProfile& profile : FProfiles) facts.Profiles.push_back(profile.Folder);
    } else if (std::string own = OwnFolders().profile; !own.empty()) {
      facts.Profiles.push_back(own);  // a shell that cannot give it leaves it out
    }
    // It holds the code the run ends with, unless writing it is what fails.
    write(FLine.JsonFile, RunSummaryJson(FReport, facts, code));
  }
  // The Event Log hears of what was left, then of the end; a scan only leaves everything listed.
  if (FLine.Mode == TRunMode::kAuto) {
    const std::string left = ItemsLeftText(FReport, 100);
    if (!left.empty()) ctx_.os.events.Write(platform::EventKind::kWarning, platform::kEventItemsLeft, left);
  }
  const bool fine = code == kExitCleaned || code == kExitNothingFound;
  if (!FRefusal.empty()) {
    ctx_.os.events.Write(platform::EventKind::kError, platform::kEventRunEnded, FRefusal);
  } else {
    ctx_.os.events.Write(fine ? platform::EventKind::kInformation : platform::EventKind::kWarning,
                         platform::kEventRunEnded, RunEndedText(FReport, code));
  }
  ctx_.app.SetExitCode(code);
  ctx_.app.Terminate();
}
