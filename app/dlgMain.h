#pragma once
// TfrmMain: the main window. It owns the scan and cleaning state, receives every worker report
// and, with the options dialog, holds the live settings in its controls. Runs on the main thread.
//
// Its methods are defined by concern, all in app/; the runs and rules they wire to the controls
// are form-free objects of their own folders (scan/scan_run.h, clean/cleaning_run.h,
// settings/settings_file.h, scan/categories.h):
//   app/dlgMain.cpp        creation, show, close, destroy, start-up checks
//   app/main_layout.cpp    the controls and their design-time properties
//   app/main_pages.cpp     the three pages, start image, hints, links, timer, tray
//   app/main_scan.cpp      btnStartClick, the scan worker's reports and "Stop Scanning"
//   app/main_cleaning.cpp  "Clean All", "Clean Selected", the running-applications check, outcomes
//   app/main_settings.cpp  LoadSettings and SaveSettings
//   app/main_unattended.cpp  the unattended run (/auto, /scan), without showing the window
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/unattended_report.h"
#include "clean/cleaning_run.h"
#include "context/context.h"
#include "scan/categories.h"
#include "scan/scan_run.h"
#include "settings/policy.h"
#include "settings/user_profiles.h"
#include "ui/controls.h"
#include "ui/form.h"

class TMemIniFile;

// Windows releases the program runs on (by their version code).
bool IsSupportedVersion(unsigned code);

// The private message posted at the end of FormShow.
constexpr unsigned WM_STARTUPCHECKS = ui::WM_USER + 400;
// Posted at the end of a cleaning run: the offer to remove what was in use at the next restart
// comes once the run's last report has returned.
constexpr unsigned WM_OFFERRESTARTREMOVAL = ui::WM_USER + 401;
// Posted while the rows to clean are taken, a slice per turn of the message loop.
constexpr unsigned WM_COLLECTCLEANITEMS = ui::WM_USER + 402;
// Posted when a scan's listed objects are waiting for their rows.
constexpr unsigned WM_SHOWFOUNDROWS = ui::WM_USER + 403;

class TfrmMain : public ui::TForm {
 public:
  explicit TfrmMain(const TContext& context);
  ~TfrmMain() override;

  // Components, in the order of the window's definition.
  ui::TImage* imgTop;
  ui::TImage* imgBottom;
  ui::TImage* imgBody;
  ui::TLabel* lbTracesLabel;
  ui::TLabel* lbSummarySize;
  ui::TLabel* lbBinsSize;
  ui::TLabel* lbBinsFound;
  ui::TLabel* lbCurrentPath;
  ui::TLabel* lbCurrentPosition;
  ui::TLabel* lbTimeLabel;
  ui::TImage* imgStart;
  ui::TLabel* lbAdvancedOptions;
  ui::TLabel* lbAbout;
  ui::TCheckBox* cbRecycleBin;
  ui::TCheckBox* cbTempFoldersAndFiles;
  ui::TCheckBox* cbLogFiles;
  ui::TCheckBox* cbWUBackup;
  ui::TCheckBox* cbImgCaches;
  ui::TCheckBox* cbInternetCache;
  ui::TButton* btnStart;
  ui::TButton* btnCancel;
  ui::TListView* lvFound;
  ui::TButton* btnBacktoSettings;
  ui::TButton* btnCleanSelected;
  ui::TButton* btnCleanAll;
  ui::TPanel* panelHint;
  ui::TLabel* lbHint;
  // The texts over the pictures (app/main_texts.cpp): the header's and footer's on every page,
  ui::TLabel *lbByMaker, *lbDiskCleaner, *lbSlogan, *lbTagline, *lbFooterLine;
  // the settings page's,
  ui::TLabel *lbStepChoose, *lbStepStart, *lbStartScan, *lbStartHelp, *lbHintPlaceholder;
  // and the scanning and results pages' title and subtitle, which each of them sets.
  ui::TLabel *lbPageTitle, *lbPageSubtitle;
  ui::TTimer* execTimer;
  ui::TImageList* ilScanning;
  ui::TTrayIcon* TrayIcon1;
  ui::TTrayIcon* TrayIcon2;
  ui::TImageList* ilDelete;

  // Lifecycle (app/dlgMain.cpp).
  void FormCreate(ui::TControl* Sender);
  void FormShow(ui::TControl* Sender);
  void FormClose(ui::TControl* Sender, ui::TCloseAction& Action);
  void FormDestroy(ui::TControl* Sender);
  void HandleMessage(unsigned message) override;
  void WMStartupChecks();

  // Pages and interaction (app/main_pages.cpp).
  void ShowSettingsPage(bool Show);
  void ShowScanningPage(bool Show);
  void ShowResultsPage(bool Show);
  // The animated icon of a run in place of the main one, and back (the main one shown or not).
  void ShowBusyTrayIcon(ui::TImageList* Frames);
  void ShowIdleTrayIcon(bool MainIconVisible);
  void RepaintAboutLink();
  void PlaceStartText(bool Pressed);
  void imgStartMouseEnter(ui::TControl* Sender);
  void imgStartMouseLeave(ui::TControl* Sender);
  void imgStartMouseDown(ui::TControl* Sender, ui::TMouseButton Button, int X, int Y);
  void imgStartMouseUp(ui::TControl* Sender, ui::TMouseButton Button, int X, int Y);
  void cbRecycleBinMouseEnter(ui::TControl* Sender);
  void cbTempFoldersAndFilesMouseEnter(ui::TControl* Sender);
  void cbInternetCacheMouseEnter(ui::TControl* Sender);
  void cbImgCachesMouseEnter(ui::TControl* Sender);
  void cbLogFilesMouseEnter(ui::TControl* Sender);
  void cbWUBackupMouseEnter(ui::TControl* Sender);
  void cbRecycleBinMouseLeave(ui::TControl* Sender);
  void cbTempFoldersAndFilesMouseLeave(ui::TControl* Sender);
  void lbAdvancedOptionsClick(ui::TControl* Sender);
  void lbAboutClick(ui::TControl* Sender);
  void lbAdvancedOptionsMouseEnter(ui::TControl* Sender);
  void lbAdvancedOptionsMouseLeave(ui::TControl* Sender);
  void btnBacktoSettingsClick(ui::TControl* Sender);
  void lvFoundDblClick(ui::TControl* Sender);
  void execTimerTimer(ui::TTimer* Sender);
  // Sets lbHint's text and shows panelHint while the pointer is over a category check box.
  void HideCategoryHint(const ui::TControl* Sender);
  void ShowCategoryHint(const std::string& Text);

  // Scanning (app/main_scan.cpp).
  void btnStartClick(ui::TControl* Sender);
  void btnCancelClick(ui::TControl* Sender);
  // Adds the row of a listed object; the scan run hands them over a turn at a time (ShowFoundRows).
  void SearchThreadFoundObject(const std::string& Path, int64_t Size, platform::FileId Id);
  // Posts WM_SHOWFOUNDROWS unless it is on its way already.
  void QueueFoundRows();
  // Rows for at most `most` of the objects waiting, then the summary labels.
  void ShowFoundRows(size_t most);
  void ShowScanTotals();
  void SearchThreadCurrentFolder(const std::string& Folder);
  void SearchThreadFinished();
  // Lets a stopped scan's worker end (its last reports still arrive) before anything else
  // changes the page or starts a worker.
  void FinishStoppedScan();
  // The rules of the ticked categories, the ticked disks and the filters; throws when a special
  // folder cannot be resolved or the age is no number.
  // The job of the ticked categories; with Profiles, the rules that name a user's folders are
  // applied to each of them (an unattended /allusers run), under a guard of every user's places.
  TScanJob BuildScanJob(const std::vector<TUserProfile>* Profiles = nullptr);
  // The options' filters of this moment, with the guard of the user's own data.
  TScanFilters CurrentFilters();
  TUserData UserDataGuard();
  TUserFolders OwnFolders();
  // The guard of the running account's places and of each profile's.
  TUserData EveryUsersGuard(const TUserFolders& own, const std::vector<TUserProfile>& Profiles);

  // Cleaning (app/main_cleaning.cpp).
  void btnCleanAllClick(ui::TControl* Sender);
  void btnCleanSelectedClick(ui::TControl* Sender);
  void CollectCleanItems();
  void EnableCleanButtons(bool Enabled);
  void StartCleaning(std::vector<TCleanItem> Items);
  ui::TListItem* FindRowByPath(const std::string& Path);
  void CleanItemStarted(const std::string& Item);
  void CleanOutcome(const std::string& Item, const std::string& Status);
  void CleanFinished();
  // The running-applications question before a run: false when the user chose Cancel (or closed
  // the dialog) during this call.
  bool BrowsersLetCleaningStart();
  void PrepareCleaningView(bool Starting);
  // Offers, to an administrator, once per run, to remove the items the run left behind at the
  // next restart; the rows of those scheduled show "Deleted at Restart".
  void OfferRemovalAtRestart();

  // Settings (app/main_settings.cpp). A load reads the policy afresh; a save stores the user's own
  // values, never the policy's.
  void LoadSettings();
  void SaveSettings();
  // Reads the policy again before a run and, when it changed, shows its values in place of the
  // old one's (the user's own coming back where it no longer sets one).
  void RefreshPolicy();
  // The category check boxes, indexed by TGarbageCategoryIndex; setting them keeps the policy's
  // categories as it sets them, their boxes disabled.
  std::array<ui::TCheckBox*, kCategoryCount> CategoryBoxes() const;
  TTickedCategories TickedCategories() const;
  void SetTickedCategories(const TTickedCategories& Ticked);

  // Unattended (app/main_unattended.cpp): scans with the saved settings and, for /auto, cleans
  // every listed object, with the tray icon for progress and the window never shown; then writes
  // the report and ends the program with the run's exit code. another_instance: a Clutterix was
  // running already, which refuses the run.
  void RunUnattended(const TCommandLine& Line, bool AnotherInstance);

  // The scan whose results are shown (or none yet), and the cleaning run of them.
  std::unique_ptr<TScanRun> FScan;
  std::unique_ptr<TCleaningRun> FCleaning;
  bool FCheckUpdatesAtStart = false;
  // The Group Policy of the last load or run.
  TPolicy FPolicy;
  std::string FUpdateHost;  // host[:port] of the update script, from the "Update" section
  std::string FExeFolder;
  std::unique_ptr<TMemIniFile> FSettings;
  std::unique_ptr<TMemIniFile> FTraceDefinitions;
  std::string FSettingsFolder;
  // Timer ticks of the current scan or cleaning run.
  int TimerTicks = 0;
  // The item the delete worker reported last, for lbCurrentPath.
  std::string FLastCleanItem;
  // The rows a cleaning run is about to take, and what was taken of them so far.
  std::vector<ui::TListItem*> FCleanRows;
  std::vector<TCleanItem> FCleanItems;
  static constexpr size_t kCleanItemsPerTurn = 20000;
  // Rows made per turn while a scan runs: a few milliseconds, for which the worker's next report
  // may wait.
  static constexpr size_t kFoundRowsPerTurn = 4000;
  bool FFoundRowsPosted = false;
  // Set by the version gate: the start was refused, so nothing is saved and no scan starts.
  bool FStartRefused = false;
  // Set by the first LoadSettings: a close before it has nothing of the user's to save.
  bool FSettingsLoaded = false;
  // A mouse button was pressed on imgStart and not yet released: the release starts a scan.
  bool FStartPressed = false;
  // Set for an unattended run: nothing is saved at the end.
  bool FUnattended = false;
  // A run has ended with items left behind, and the offer to remove them at restart is due.
  bool FRestartOfferDue = false;

  const TContext& context() const { return ctx_; }

 private:
  void CreateControls();      // app/main_layout.cpp
  void CreateArtworkTexts();  // app/main_texts.cpp
  ui::TLabel* AddText(const char* name, const std::string& caption, const ui::TFont& font, ui::TRect place,
                      ui::TAlignment alignment);
  // Where lbStartScan lies on the start picture while it is not pressed: its left edge, and the
  // middle of its one or two lines.
  static constexpr int kStartTextLeft = 479, kStartTextMiddle = 272;
  // The user's own settings of this moment: the controls where the policy sets nothing, the file
  // where it does.
  TScanSettings CurrentOwnSettings();
  // Stops both workers and waits for them, dropping their reports: the window is going.
  void EndWorkers();
  // The stages of an unattended run.
  void UnattendedScanFinished();
  void UnattendedCleaningFinished();
  // A refused run writes no report: another instance may be writing the same file.
  void EndUnattended(int ExitCode, bool WriteReport);
  TCommandLine FLine;
  TScanJob FUnattendedJob;
  std::vector<TUserProfile> FProfiles;  // an /allusers run's
  std::string FRefusal;                 // why an unattended run was refused, for the Event Log
  int64_t FUnattendedStarted = 0;       // FILETIME of the run's start
  TUnattendedReport FReport;
  TContext ctx_;
};
