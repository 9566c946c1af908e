#pragma once
// TfrmOptions: the options dialog. Its controls are the live store of the disks, scan level,
// noise level, autostart and auto-scan settings for the whole run, and of the language chosen.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "context/context.h"
#include "scan/categories.h"
#include "settings/languages.h"
#include "settings/policy.h"
#include "settings/settings_file.h"
#include "ui/controls.h"
#include "ui/form.h"

class TfrmOptions : public ui::TForm {
 public:
  explicit TfrmOptions(const TContext& context);

  ui::TImage* Image1;
  ui::TLabel* lbTitle;
  ui::TPageControl* PageControl1;
  ui::TTabSheet* tsScan;
  ui::TTabSheet* tsOther;
  ui::TGroupBox* GroupBox1;
  ui::TListView* lvDisks;
  ui::TLabel* Label1;
  ui::TLabel* lbMoreInfoTimeEst;
  ui::TGroupBox* GroupBox2;
  ui::TComboBox* cbScanLevel;
  ui::TGroupBox* gbScanDisks;
  ui::TLabel* Label2;
  ui::TEdit* editNoiseLevel;
  ui::TGroupBox* gbAutostart;
  ui::TCheckBox* cbAutostart;
  ui::TCheckBox* cbStartScanAuto;
  ui::TGroupBox* GroupBox3;
  ui::TCheckBox* CheckBox1;
  ui::TLabel* Label3;
  ui::TGroupBox* gbAge;
  ui::TLabel* lbAge;
  ui::TEdit* editMinAge;
  ui::TLabel* lbAgeDays;
  ui::TGroupBox* gbExclusions;
  ui::TListView* lvExclusions;
  ui::TButton* btnAddExclusionFolder;
  ui::TButton* btnRemoveExclusion;
  ui::TEdit* editExclusion;
  ui::TButton* btnAddExclusion;
  ui::TGroupBox* gbLanguage;
  ui::TComboBox* cbLanguage;
  ui::TLabel* lbLanguageNote;
  // "Some settings are set by your organisation...": shown while a policy sets any of them.
  ui::TLabel* lbPolicyNote;
  ui::TButton* btnOK;

  // Set by the main window: OK was pressed (the settings are to be saved and loaded again; an
  // error thrown here keeps the dialog open), and a scan-level preset was chosen.
  std::function<void()> OnAccepted;
  std::function<void(const TTickedCategories& Categories)> OnPresetChosen;

  // The dialog's part of the user's own settings, with the policy laid over them: disks, scan
  // level (whose preset is applied), noise level, autostart, the scan after loading, the age
  // filter and the exclusions.
  void ShowScanSettings(const TScanSettings& Own, bool Autostart, const TPolicy& Policy);
  // The disks, the age filter and the exclusions as the policy leaves them, the controls it sets
  // disabled, and the note shown while it sets anything.
  void ShowPolicy(const TScanSettings& Own, const TPolicy& Policy);
  // What the controls show, the policy's values among them; the exclusions are the user's alone.
  void CollectScanSettings(TScanSettings& Settings) const;
  std::vector<std::string> DiskCaptions() const;
  std::vector<std::string> TickedDisks() const;
  // The age filter and the exclusions as the dialog holds them now, for a scan or a cleaning at
  // `now` (a FILETIME). Throws platform::Exception when the age is no whole number of days in range.
  TScanFilters ScanFilters(int64_t now) const;
  // The user's own exclusions, without the organisation's.
  std::vector<std::string> Exclusions() const;
  // The language chosen in "Language": a catalogue's tag, "en", or "" for automatic.
  void ShowLanguage(const std::string& Tag);
  std::string ChosenLanguage() const;

  // Adds a folder path or file-name pattern to the exclusions, once (letter case ignored); throws
  // platform::Exception for an entry of neither kind.
  void AddExclusion(const std::string& Entry);
  void btnAddExclusionFolderClick(ui::TControl* Sender);
  void btnAddExclusionClick(ui::TControl* Sender);
  void btnRemoveExclusionClick(ui::TControl* Sender);

  void btnOKClick(ui::TControl* Sender);
  void cbScanLevelChange(ui::TControl* Sender);
  void ApplyScanLevel(int Index);
  void FillDiskList();
  void lbMoreInfoTimeEstClick(ui::TControl* Sender);
  void lbMoreInfoTimeEstMouseEnter(ui::TControl* Sender);
  void lbMoreInfoTimeEstMouseLeave(ui::TControl* Sender);
  // The drive list (the hidden drvList): fixed and removable drives, rebuilt on volume changes.
  const std::vector<char>& DriveList() const { return FDrives; }
  void RebuildDriveList();
  void HandleMessage(unsigned message) override;

 private:
  void CreateControls();
  // The organisation's rows first (which Remove leaves), then the user's.
  void ShowExclusions(const std::vector<std::string>& Own);
  std::vector<std::string> AllExclusions() const;

  std::vector<char> FDrives;
  // The languages behind the items of cbLanguage after "Automatic" and "English".
  std::vector<TLanguage> FLanguages;
  // The language the organisation set, and the user's own choice, which saving keeps.
  std::optional<std::string> FLanguagePolicy;
  std::string FOwnLanguage;
  std::vector<std::string> FPolicyExclusions;
  TContext ctx_;
};

// Whole seconds as hours:minutes:seconds, each at least two digits ("100:00:00").
std::string SecondsToTimeText(int64_t seconds);
