// Starting a scan: the job is built from the trace definitions, the ticked categories and the
// ticked disks, and handed to a new scan worker. Runs on the main thread only.
#include <exception>

#include "app/dlgMain.h"
#include "scan/search_thread.h"
#include "scan/trace_definitions.h"
#include "settings/dlgOptions.h"
#include "settings/system_paths.h"

namespace {

std::vector<std::string> TickedDisks(const TContext& context) {
  const TfrmOptions* options = context.forms.frmOptions;
  std::vector<std::string> drives;
  if (options == nullptr) return drives;
  for (int i = 0; i < options->lvDisks->Count(); ++i) {
    const ui::TListItem* row = options->lvDisks->Item(i);
    if (row->Checked()) drives.push_back(row->Caption());
  }
  return drives;
}

}  // namespace

void TfrmMain::btnStartClick(ui::TControl*) {
  TScanJob job;

  FTotalSizeMB = 0;
  lvFound->Clear();
  FFoundPaths.clear();
  FFoundSizes.clear();

  FSearchThread = new TSearchInThread(context().main_thread, context().os.files, context().os.debug);
  FSearchThread->FOnFoundObject = [this](const std::string& Path, int64_t Size) {
    SearchThreadFoundObject(Path, Size);
  };
  FSearchThread->FOnSearchFinished = [this] { SearchThreadFinished(); };
  FSearchThread->FOnCurrentFolder = [this](const std::string& Folder) { SearchThreadCurrentFolder(Folder); };
  FSearchThread->FreeOnTerminate = true;

  btnStart->SetEnabled(false);
  btnCancel->SetEnabled(true);
  execTimer->SetEnabled(true);

  const bool tray_icon_was_visible = TrayIcon1->Visible();
  TrayIcon1->SetVisible(false);
  TrayIcon2->SetIcons(ilScanning);
  TrayIcon2->SetVisible(true);
  TrayIcon2->SetAnimate(true);

  ShowSettingsPage(false);
  ShowScanningPage(true);

  try {
    if (FTraceDefinitions) {
      const TTickedCategories ticked = {
          cbRecycleBin->Checked(), cbInternetCache->Checked(), cbTempFoldersAndFiles->Checked(),
          cbImgCaches->Checked(),  cbLogFiles->Checked(),      cbWUBackup->Checked()};
      platform::Platform& os = context().os;
      const platform::WindowHandle owner = Handle();
      AddTraceRules(
          *FTraceDefinitions, ticked,
          [&os, owner](const TFolderSource& source) {
            return source.kind == TFolderSource::kWindowsDir ? GetWindowsDir(os.files)
                                                             : GetSpecialFolderPath(os.shell, owner, source.csidl);
          },
          job, [&os](const std::string& line) { os.debug.Write(line); });
    }
    job.Drives = TickedDisks(context());
  } catch (const std::exception& error) {
    // No scan runs: the worker was never resumed, so it is ours to free, and the window goes back
    // to the settings page ready for another start.
    context().app.ShowException(error);
    delete FSearchThread;
    FSearchThread = nullptr;
    execTimer->SetEnabled(false);
    TimerTicks = 0;
    TrayIcon2->SetAnimate(false);
    TrayIcon2->SetVisible(false);
    TrayIcon1->SetVisible(tray_icon_was_visible);
    btnCancel->SetEnabled(false);
    btnStart->SetEnabled(true);
    ShowScanningPage(false);
    ShowSettingsPage(true);
    return;
  }

  FSearchThread->SetSearchJob(job.Paths, job.Templates, job.Types, job.SearchRules, job.Drives);
  FSearchThread->Resume();
}
