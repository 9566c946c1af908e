// The main window's lifecycle: creation, the first show with the version gate, closing, and the
// start-up checks posted at the end of the first show.
#include "app/dlgMain.h"

#include "clean/dlgAlert.h"
#include "clean/is_admin.h"
#include "context/exe_folder.h"
#include "context/version.h"
#include "ini/mem_ini_file.h"
#include "settings/dlgOptions.h"
#include "settings/policy.h"
#include "settings/system_paths.h"
#include "ui/tr.h"
#include "update/update_settings.h"
#include "update/updater.h"

namespace {

// Where users of unsupported releases are asked to write.
constexpr const char* kSupportAddress = "support@clutterix.com";

}  // namespace

bool IsSupportedVersion(unsigned code) { return code == 7 || code == 8; }

TfrmMain::TfrmMain(const TContext& context) : ui::TForm(context.app, "frmMain"), ctx_(context) {
  CreateControls();
  FormCreate(this);
}

TfrmMain::~TfrmMain() { FormDestroy(this); }

void TfrmMain::FormCreate(ui::TControl*) {
  ui::TApplication& app = ctx_.app;
  TimerTicks = 0;
  DoubleBuffered = true;
  panelHint->DoubleBuffered = true;
  FExeFolder = ExeFolder(ctx_.os.system);
  // A picture that cannot be loaded is reported and creation goes on: the window must not stay
  // open without its documents and first page.
  app.Guard([&] { imgStart->LoadFromFile(FExeFolder + "images\\start_inactive.jpg"); });
  FSettingsFolder = SettingsFolder(ctx_.os.shell);
  const unsigned version = GetWindowsVersionCode(ctx_.os.system);
  if (version == 8) {
    FTraceDefinitions = std::make_unique<TMemIniFile>(ctx_.os.files, FExeFolder + "config\\vistagarbage.cxtraces");
  } else if (version == 7) {
    FTraceDefinitions = std::make_unique<TMemIniFile>(ctx_.os.files, FExeFolder + "config\\xpgarbage.cxtraces");
  }
  if (!ctx_.os.files.FolderExists(FSettingsFolder)) ctx_.os.files.CreateFolder(FSettingsFolder);
  FSettings = std::make_unique<TMemIniFile>(ctx_.os.files, FSettingsFolder + "general.conf");
  if (FSettings->Unreadable())
    ctx_.os.debug.Write("settings: " + FSettings->FileName() + " could not be read; it is kept and not saved over");
  app.Guard([&] { ShowResultsPage(false); });
  app.Guard([&] { ShowScanningPage(false); });
  app.Guard([&] { ShowSettingsPage(true); });
}

void TfrmMain::FormShow(ui::TControl*) {
  // Show() does not guard its handler: an error here ends this handler and is shown.
  ctx_.app.Guard([&] {
    if (!IsSupportedVersion(GetWindowsVersionCode(ctx_.os.system))) {
      TfrmAlert& alert = *ctx_.forms.frmAlert;
      alert.SetCaption(ui::Tr("Wrong Windows Version"));
      alert.lbCaption->SetCaption(ui::Tr("Unsupported Windows Version!"));
      alert.lbMessage->SetCaption(
          ui::Tr("Clutterix supported XP and Vista versions only.") + "\n\n\r" +
          ui::Format(ui::Tr("If you need to add supporting of you version of Windows contact us at: %1."),
                     {kSupportAddress}));
      alert.ShowModal();
      // Nothing else of the start runs: the settings are not loaded (so they are not saved over
      // the user's file) and the start-up checks are not posted (so no scan can start).
      FStartRefused = true;
      Close();
      return;
    }
    if (FSettings) ReadUpdateSettings(*FSettings, &FCheckUpdatesAtStart, &FUpdateHost);
    // A policy switches the check on or off whatever the file says.
    if (const auto forced = ReadPolicy(ctx_.os.registry, ctx_.os.debug).CheckForUpdates) FCheckUpdatesAtStart = *forced;
    ctx_.forms.frmUpdater->FHost = FUpdateHost;
    if (FCheckUpdatesAtStart) {
      // A failed check is reported and the start goes on.
      ctx_.app.Guard([&] {
        ctx_.forms.frmUpdater->CheckForUpdates("http://" + FUpdateHost + "/zp/cx.php?ver=" CX_VERSION_TEXT,
                                               CX_RELEASE_NUMBER);
      });
    }
    TrimWorkingSet(ctx_.os.system);
    LoadSettings();
    FSettingsLoaded = true;
    PostMessage(WM_STARTUPCHECKS);
  });
}

void TfrmMain::FormClose(ui::TControl*, ui::TCloseAction&) {
  // No report may reach the window once it is closing, and no worker may outlive the objects it
  // works with: the item being cleaned finishes, nothing more is deleted.
  EndWorkers();
  // Before the settings were loaded the controls hold only their initial states; saving them
  // would overwrite the user's file and remove the autostart entry.
  if (FStartRefused || !FSettingsLoaded) return;
  // An unattended run changes no setting, and must not make a file that was not there.
  if (FUnattended) return;
  // A file that could not be read is kept: the defaults shown meanwhile are not the user's.
  if (FSettings->Unreadable()) return;
  // A failed save is reported; the window still closes.
  ctx_.app.Guard([&] { SaveSettings(); });
}

void TfrmMain::FormDestroy(ui::TControl*) {
  EndWorkers();
  FSettings.reset();
  FTraceDefinitions.reset();
}

void TfrmMain::EndWorkers() {
  // Rows still being taken for a run never start one.
  FCleanRows.clear();
  FCleanItems.clear();
  if (FScan) FScan->Abandon();
  if (FCleaning) FCleaning->Abandon();
  if (FScan) FScan->WaitForWorker();
  if (FCleaning) FCleaning->WaitForWorker();
}

void TfrmMain::HandleMessage(unsigned message) {
  if (message == WM_STARTUPCHECKS) ctx_.app.Guard([&] { WMStartupChecks(); });
  if (message == WM_OFFERRESTARTREMOVAL) ctx_.app.Guard([&] { OfferRemovalAtRestart(); });
  if (message == WM_COLLECTCLEANITEMS) ctx_.app.Guard([&] { CollectCleanItems(); });
  if (message == WM_SHOWFOUNDROWS) {
    FFoundRowsPosted = false;
    ctx_.app.Guard([&] {
      ShowFoundRows(kFoundRowsPerTurn);
      if (FScan && FScan->RowsPending()) QueueFoundRows();
    });
  }
}

void TfrmMain::WMStartupChecks() {
  if (!IsAdmin(ctx_.os.security)) {
    ctx_.forms.frmAlert->SetCaption(ui::Tr("Not enought rights."));
    ctx_.forms.frmAlert->ShowModal();
  }
  // A refused start has no trace definitions to scan with.
  if (FStartRefused) return;
  if (ctx_.forms.frmOptions->cbStartScanAuto && ctx_.forms.frmOptions->cbStartScanAuto->Checked()) btnStart->Click();
}
