// The options dialog: which disks to scan (with sizes and estimated times), the scan-level preset,
// the noise level, autostart and auto-scan, and the Secure Erase box. Runs on the main thread.
#include "settings/dlgOptions.h"

#include <cmath>

#include "context/exe_folder.h"
#include "platform/exception.h"
#include "platform/text.h"
#include "settings/system_paths.h"
#include "ui/tr.h"

namespace {

// SEM_NOOPENFILEERRORBOX: an empty drive must not raise "insert a disk" boxes while listing.
constexpr uint32_t kNoOpenFileErrorBox = 0x8000;
constexpr double kBytesPerGiB = 1073741824.0;
// Seconds a search takes per GiB of disk; the text under the disk list states the rule.
constexpr int64_t kSecondsPerGiB = 17;
// The maker's page about the estimate, opened by the (hidden) "More Info..." link.
constexpr const char* kEstimateInfoAddress = "http://www.clutterix.com/help/estimated-time.html";

// A drive whose root cannot be entered (no medium, not ready) has no size and no estimate.
constexpr const char* kDriveNotReady = ui::TrNoop("Not ready");
// The root could be entered but the system did not give its size.
constexpr const char* kSizeUnknown = ui::TrNoop("Unknown");

// The dialog's client height, which its picture is drawn for.
constexpr int kHeight = 591;

std::string TwoDigits(int64_t value) {
  std::string text = std::to_string(value);
  return text.size() == 1 ? "0" + text : text;
}

}  // namespace

TfrmOptions::TfrmOptions(const TContext& context) : ui::TForm(context.app, "frmOptions"), ctx_(context) {
  CreateControls();
  RebuildDriveList();
}

void TfrmOptions::CreateControls() {
  SetCaption(ui::Tr("Options"));
  SetBorderStyle(ui::TBorderStyle::bsDialog);
  SetBorderIcons({.SystemMenu = true, .Minimize = false, .Maximize = false});
  SetClientSize(411, kHeight);
  SetColor(ui::clWhite);
  SetPosition(ui::TPosition::poMainFormCenter);
  SetFont(ui::TFont{});  // Tahoma 8 pt

  Image1 = Add<ui::TImage>(this, "Image1");
  Image1->SetBounds(0, 0, 411, kHeight);
  Image1->SetAlign(ui::TAlign::alClient);
  // A missing picture is reported; the dialog still works on its white background.
  ctx_.app.Guard([&] { Image1->LoadFromFile(ExeFolder(ctx_.os.system) + "images\\options.jpg"); });

  // The picture's band leaves the title's place free up to its wordmark, for a longer language.
  lbTitle = Add<ui::TLabel>(this, "lbTitle");
  lbTitle->SetCaption(ui::Tr("Options"));
  ui::TFont title = ui::PixelFont("Tahoma", 20, true);
  title.Color = ui::clWhite;
  lbTitle->SetFont(title);
  lbTitle->SetAutoSize(false);
  lbTitle->SetBounds(54, 13, 266, 25);
  lbTitle->SetTransparent(true);

  PageControl1 = Add<ui::TPageControl>(this, "PageControl1");
  PageControl1->SetBounds(7, 50, 411 - 7 - 7, kHeight - 50 - 50);
  tsScan = Add<ui::TTabSheet>(PageControl1, "tsScan");
  tsScan->SetCaption(ui::Tr("Scan"));
  tsOther = Add<ui::TTabSheet>(PageControl1, "tsOther");
  tsOther->SetCaption(ui::Tr("Other"));

  // Tab "Scan".
  GroupBox1 = Add<ui::TGroupBox>(tsScan, "GroupBox1");
  GroupBox1->SetCaption(" " + ui::Tr("Scan on Disks") + " ");
  GroupBox1->SetBounds(8, 8, 373, 206);

  lvDisks = Add<ui::TListView>(GroupBox1, "lvDisks");
  lvDisks->SetBounds(10, 20, 353, 130);
  lvDisks->SetCheckboxes(true);
  lvDisks->SetReadOnly(true);
  lvDisks->SetRowSelect(true);
  lvDisks->AddColumn(ui::Tr("Label"), 75);
  lvDisks->AddColumn(ui::Tr("Size"), 75);
  lvDisks->AddColumn(ui::Tr("Estimated Time"), 125);

  Label1 = Add<ui::TLabel>(GroupBox1, "Label1");
  Label1->SetAutoSize(false);
  Label1->SetWordWrap(true);
  Label1->SetBounds(10, 156, 353, 28);
  Label1->SetTransparent(true);
  Label1->SetCaption(ui::Tr("* Estimated time calculated by 1 GB search time multiplied to disk drive size."));

  lbMoreInfoTimeEst = Add<ui::TLabel>(GroupBox1, "lbMoreInfoTimeEst");
  lbMoreInfoTimeEst->SetBounds(10, 186, 62, 13);
  lbMoreInfoTimeEst->SetCaption(ui::Tr("More Info..."));
  ui::TFont link = lbMoreInfoTimeEst->Font();
  link.Color = ui::clBlue;
  link.Underline = true;
  lbMoreInfoTimeEst->SetFont(link);
  lbMoreInfoTimeEst->SetCursor(ui::TCursor::crHandPoint);
  lbMoreInfoTimeEst->SetTabStop(true);
  lbMoreInfoTimeEst->SetTransparent(true);
  lbMoreInfoTimeEst->SetVisible(false);
  lbMoreInfoTimeEst->OnClick = [this](ui::TControl* s) { lbMoreInfoTimeEstClick(s); };
  lbMoreInfoTimeEst->OnMouseEnter = [this](ui::TControl* s) { lbMoreInfoTimeEstMouseEnter(s); };
  lbMoreInfoTimeEst->OnMouseLeave = [this](ui::TControl* s) { lbMoreInfoTimeEstMouseLeave(s); };

  GroupBox2 = Add<ui::TGroupBox>(tsScan, "GroupBox2");
  GroupBox2->SetCaption(" " + ui::Tr("Scan Level") + " ");
  GroupBox2->SetBounds(8, 222, 373, 56);

  cbScanLevel = Add<ui::TComboBox>(GroupBox2, "cbScanLevel");
  cbScanLevel->SetBounds(10, 22, 353, 21);
  std::vector<std::string> levels;
  for (const char* level : ScanLevelCaptions()) levels.push_back(ui::Tr(level));
  cbScanLevel->SetItems(levels);
  cbScanLevel->SetItemIndex(0);
  cbScanLevel->OnChange = [this](ui::TControl* s) { cbScanLevelChange(s); };

  gbScanDisks = Add<ui::TGroupBox>(tsScan, "gbScanDisks");
  gbScanDisks->SetCaption(" " + ui::Tr("Noise Level") + " ");
  gbScanDisks->SetBounds(8, 286, 373, 76);

  Label2 = Add<ui::TLabel>(gbScanDisks, "Label2");
  Label2->SetBounds(10, 22, 353, 13);
  Label2->SetTransparent(true);
  Label2->SetCaption(ui::Tr("Dont show traces with size less than:"));

  editNoiseLevel = Add<ui::TEdit>(gbScanDisks, "editNoiseLevel");
  editNoiseLevel->SetBounds(10, 40, 121, 21);
  editNoiseLevel->SetText("4096");

  // Tab "Other".
  gbAutostart = Add<ui::TGroupBox>(tsOther, "gbAutostart");
  gbAutostart->SetCaption(" " + ui::Tr("Autostart") + " ");
  gbAutostart->SetBounds(8, 8, 373, 72);

  cbAutostart = Add<ui::TCheckBox>(gbAutostart, "cbAutostart");
  cbAutostart->SetBounds(10, 22, 353, 17);
  cbAutostart->SetCaption(ui::Tr("Autostart with Windows"));

  cbStartScanAuto = Add<ui::TCheckBox>(gbAutostart, "cbStartScanAuto");
  cbStartScanAuto->SetBounds(10, 45, 353, 17);
  cbStartScanAuto->SetCaption(ui::Tr("Start scan after loading"));

  GroupBox3 = Add<ui::TGroupBox>(tsOther, "GroupBox3");
  GroupBox3->SetCaption(" " + ui::Tr("Secure Erase") + " ");
  GroupBox3->SetBounds(8, 88, 373, 72);

  CheckBox1 = Add<ui::TCheckBox>(GroupBox3, "CheckBox1");
  CheckBox1->SetBounds(10, 22, 353, 17);
  CheckBox1->SetCaption(ui::Tr("Delete files without ability to restore"));

  Label3 = Add<ui::TLabel>(GroupBox3, "Label3");
  Label3->SetBounds(10, 46, 353, 13);
  Label3->SetTransparent(true);
  ui::TFont note = Label3->Font();
  note.Italic = true;
  note.Color = 13796147;
  Label3->SetFont(note);
  Label3->SetCaption(ui::Tr("Need to set for each cleaning!"));

  gbAge = Add<ui::TGroupBox>(tsOther, "gbAge");
  gbAge->SetCaption(" " + ui::Tr("Age") + " ");
  gbAge->SetBounds(8, 168, 373, 52);

  lbAge = Add<ui::TLabel>(gbAge, "lbAge");
  // Two lines where a language needs them, beside the number they frame.
  lbAge->SetAutoSize(false);
  lbAge->SetWordWrap(true);
  lbAge->SetBounds(10, 17, 186, 28);
  lbAge->SetTransparent(true);
  lbAge->SetCaption(ui::Tr("Only objects not changed for at least"));

  editMinAge = Add<ui::TEdit>(gbAge, "editMinAge");
  editMinAge->SetBounds(200, 20, 40, 21);
  editMinAge->SetText("0");

  lbAgeDays = Add<ui::TLabel>(gbAge, "lbAgeDays");
  lbAgeDays->SetAutoSize(false);
  lbAgeDays->SetWordWrap(true);
  lbAgeDays->SetBounds(246, 17, 120, 28);
  lbAgeDays->SetTransparent(true);
  lbAgeDays->SetCaption(ui::Tr("days (0: any age)"));

  gbExclusions = Add<ui::TGroupBox>(tsOther, "gbExclusions");
  gbExclusions->SetCaption(" " + ui::Tr("Never List or Clean") + " ");
  gbExclusions->SetBounds(8, 228, 373, 170);

  lvExclusions = Add<ui::TListView>(gbExclusions, "lvExclusions");
  lvExclusions->SetBounds(10, 20, 262, 110);
  lvExclusions->SetReadOnly(true);
  lvExclusions->SetRowSelect(true);
  lvExclusions->AddColumn(ui::Tr("Folder or file name"), 170);
  lvExclusions->AddColumn(ui::Tr("Set by"), 66);
  lvExclusions->FitColumnTo(1, {ui::Tr("Set by"), ui::Tr("Organisation")});  // whole in every language

  btnAddExclusionFolder = Add<ui::TButton>(gbExclusions, "btnAddExclusionFolder");
  btnAddExclusionFolder->SetBounds(280, 20, 83, 25);
  btnAddExclusionFolder->SetCaption(ui::Tr("&Folder..."));
  btnAddExclusionFolder->OnClick = [this](ui::TControl* s) { btnAddExclusionFolderClick(s); };

  btnRemoveExclusion = Add<ui::TButton>(gbExclusions, "btnRemoveExclusion");
  btnRemoveExclusion->SetBounds(280, 52, 83, 25);
  btnRemoveExclusion->SetCaption(ui::Tr("&Remove"));
  btnRemoveExclusion->OnClick = [this](ui::TControl* s) { btnRemoveExclusionClick(s); };

  editExclusion = Add<ui::TEdit>(gbExclusions, "editExclusion");
  editExclusion->SetBounds(10, 138, 262, 21);

  btnAddExclusion = Add<ui::TButton>(gbExclusions, "btnAddExclusion");
  btnAddExclusion->SetBounds(280, 136, 83, 25);
  btnAddExclusion->SetCaption(ui::Tr("&Add"));
  btnAddExclusion->OnClick = [this](ui::TControl* s) { btnAddExclusionClick(s); };

  gbLanguage = Add<ui::TGroupBox>(tsOther, "gbLanguage");
  gbLanguage->SetCaption(" " + ui::Tr("Language") + " ");
  gbLanguage->SetBounds(8, 406, 373, 52);

  cbLanguage = Add<ui::TComboBox>(gbLanguage, "cbLanguage");
  cbLanguage->SetBounds(10, 20, 170, 21);
  FLanguages = AvailableLanguages(ctx_.os.files, ExeFolder(ctx_.os.system));
  // Each language by its own name, so that anyone finds theirs whatever is shown now.
  std::vector<std::string> languages = {ui::Tr("Automatic"), "English"};
  for (const TLanguage& language : FLanguages) languages.push_back(language.Name);
  cbLanguage->SetItems(languages);
  cbLanguage->SetItemIndex(0);

  lbLanguageNote = Add<ui::TLabel>(gbLanguage, "lbLanguageNote");
  lbLanguageNote->SetAutoSize(false);
  lbLanguageNote->SetWordWrap(true);
  lbLanguageNote->SetTransparent(true);
  lbLanguageNote->SetBounds(190, 17, 173, 28);
  lbLanguageNote->SetCaption(ui::Tr("Takes effect at the next start."));

  // The dialog first opens on "Other"; afterwards it keeps the tab the user left it on.
  PageControl1->SetActivePageIndex(1);

  lbPolicyNote = Add<ui::TLabel>(this, "lbPolicyNote");
  lbPolicyNote->SetAutoSize(false);
  lbPolicyNote->SetWordWrap(true);
  // Under the picture's footer rule, between its footer line (at the left) and the OK button.
  lbPolicyNote->SetBounds(124, kHeight - 42, 200, 40);
  lbPolicyNote->SetTransparent(true);
  lbPolicyNote->SetCaption(ui::Tr("Some settings are set by your organisation and cannot be changed here."));
  lbPolicyNote->SetVisible(false);

  btnOK = Add<ui::TButton>(this, "btnOK");
  btnOK->SetBounds(411 - 7 - 75, kHeight - 12 - 25, 75, 25);
  btnOK->SetCaption(ui::Tr("&OK"));
  btnOK->SetDefault(true);
  btnOK->OnClick = [this](ui::TControl* s) { btnOKClick(s); };
}

void TfrmOptions::ShowLanguage(const std::string& Tag) {
  FOwnLanguage = Tag;
  const std::string shown = FLanguagePolicy.value_or(Tag);
  int index = 0;  // automatic, also for a language whose catalogue has gone
  if (platform::SameText(shown, "en")) index = 1;
  for (size_t i = 0; i < FLanguages.size(); ++i)
    if (platform::SameText(FLanguages[i].Tag, shown)) index = static_cast<int>(i) + 2;
  cbLanguage->SetItemIndex(index);
  cbLanguage->SetEnabled(!FLanguagePolicy);
}

std::string TfrmOptions::ChosenLanguage() const {
  if (FLanguagePolicy) return FOwnLanguage;  // the organisation's is never stored as the user's
  const int index = cbLanguage->ItemIndex();
  if (index == 1) return "en";
  if (index >= 2 && static_cast<size_t>(index - 2) < FLanguages.size()) return FLanguages[index - 2].Tag;
  return "";
}

void TfrmOptions::btnOKClick(ui::TControl*) {
  // An age that is no number is shown, never stored as "off".
  ScanFilters(0);
  // A failed save throws out of here: the error is shown, nothing is reloaded over what the user
  // chose, and the dialog stays open so that they can try again.
  if (OnAccepted) OnAccepted();
  SetModalResult(ui::TModalResult::mrOk);
}

void TfrmOptions::cbScanLevelChange(ui::TControl*) { ApplyScanLevel(cbScanLevel->ItemIndex()); }

void TfrmOptions::ApplyScanLevel(int Index) {
  if (Index < 0 || Index >= static_cast<int>(kPresetCount)) return;
  if (OnPresetChosen) OnPresetChosen(PresetCategories(static_cast<TScanLevelPreset>(Index)));
}

void TfrmOptions::ShowScanSettings(const TScanSettings& Own, bool Autostart, const TPolicy& Policy) {
  cbScanLevel->SetItemIndex(Own.Level);
  ApplyScanLevel(cbScanLevel->ItemIndex());
  editNoiseLevel->SetText(Own.NoiseLevel);
  cbAutostart->SetChecked(Autostart);
  cbStartScanAuto->SetChecked(Own.AutoStartScan);
  ShowPolicy(Own, Policy);
}

void TfrmOptions::ShowPolicy(const TScanSettings& Own, const TPolicy& Policy) {
  const TScanSettings shown = WithPolicy(Own, Policy);
  FLanguagePolicy = Policy.Language;
  for (int i = 0; i < lvDisks->Count(); ++i) {
    ui::TListItem* row = lvDisks->Item(i);
    for (const auto& [disk, ticked] : shown.Disks)
      if (disk == row->Caption()) row->SetChecked(ticked);
  }
  lvDisks->SetEnabled(!Policy.Disks);
  editMinAge->SetText(std::to_string(shown.MinAgeDays));
  editMinAge->SetEnabled(!Policy.MinAgeDays);
  FPolicyExclusions = Policy.Exclusions;
  ShowExclusions(Own.Exclusions);
  lbPolicyNote->SetVisible(Policy.SetsShownSettings());
}

void TfrmOptions::ShowExclusions(const std::vector<std::string>& Own) {
  lvExclusions->Clear();
  for (const std::string& entry : FPolicyExclusions) {
    ui::TListItem* row = lvExclusions->Add();
    row->SetCaption(entry);
    row->AddSubItem(ui::Tr("Organisation"));
  }
  for (const std::string& entry : Own) lvExclusions->Add()->SetCaption(entry);
}

void TfrmOptions::CollectScanSettings(TScanSettings& Settings) const {
  Settings.Disks.clear();
  for (int i = 0; i < lvDisks->Count(); ++i) {
    const ui::TListItem* row = lvDisks->Item(i);
    Settings.Disks.emplace_back(row->Caption(), row->Checked());
  }
  Settings.Level = cbScanLevel->ItemIndex();
  Settings.NoiseLevel = editNoiseLevel->Text();
  Settings.AutoStartScan = cbStartScanAuto->Checked();
  // An age that is no number keeps what was stored (OK refuses it before this).
  Settings.MinAgeDays = ParseAgeDays(editMinAge->Text()).value_or(Settings.MinAgeDays);
  Settings.Exclusions = Exclusions();
}

TScanFilters TfrmOptions::ScanFilters(int64_t now) const {
  const std::optional<int> days = ParseAgeDays(editMinAge->Text());
  if (!days)
    throw platform::Exception(ui::Format(
        ui::Tr("\"%1\" is not an age. Enter a whole number of days from 0 to %2 (0 lists objects of any age)."),
        {editMinAge->Text(), std::to_string(kMaxAgeDays)}));
  TScanFilters filters;
  filters.ChangedBefore = TScanFilters::CutOff(now, *days);
  filters.Exclusions = TExclusions(AllExclusions());
  return filters;
}

std::vector<std::string> TfrmOptions::Exclusions() const {
  std::vector<std::string> entries;
  for (int i = static_cast<int>(FPolicyExclusions.size()); i < lvExclusions->Count(); ++i)
    entries.push_back(lvExclusions->Item(i)->Caption());
  return entries;
}

std::vector<std::string> TfrmOptions::AllExclusions() const {
  std::vector<std::string> entries;
  for (int i = 0; i < lvExclusions->Count(); ++i) entries.push_back(lvExclusions->Item(i)->Caption());
  return entries;
}

void TfrmOptions::AddExclusion(const std::string& Entry) {
  std::string entry = platform::Trim(Entry);
  if (entry.empty()) return;
  const bool folder = IsExclusionFolder(entry);
  if (!folder && entry.find_first_of("\\/:") != std::string::npos)
    throw platform::Exception(ui::Format(
        ui::Tr("\"%1\" is neither a full folder path (such as C:\\Temp\\keep) nor a file name (such as *.docx)."),
        {entry}));
  // A folder keeps one form: "C:\Temp\keep\" and "c:\temp\keep" are the same folder.
  if (folder)
    while (entry.size() > 3 && (entry.back() == '\\' || entry.back() == '/')) entry.pop_back();
  for (const std::string& known : AllExclusions())
    if (SameExclusion(known, entry)) return;
  lvExclusions->Add()->SetCaption(entry);
}

void TfrmOptions::btnAddExclusionFolderClick(ui::TControl*) {
  if (auto folder =
          ctx_.os.shell.BrowseForFolder(Handle(), ui::Tr("Choose a folder that is never to be listed or cleaned:")))
    AddExclusion(*folder);
}

void TfrmOptions::btnAddExclusionClick(ui::TControl*) {
  AddExclusion(editExclusion->Text());
  editExclusion->SetText("");
}

void TfrmOptions::btnRemoveExclusionClick(ui::TControl*) {
  // The organisation's rows stay, selected or not.
  std::vector<std::string> kept;
  for (int i = static_cast<int>(FPolicyExclusions.size()); i < lvExclusions->Count(); ++i)
    if (!lvExclusions->Item(i)->Selected()) kept.push_back(lvExclusions->Item(i)->Caption());
  ShowExclusions(kept);
}

std::vector<std::string> TfrmOptions::DiskCaptions() const {
  std::vector<std::string> disks;
  for (int i = 0; i < lvDisks->Count(); ++i) disks.push_back(lvDisks->Item(i)->Caption());
  return disks;
}

std::vector<std::string> TfrmOptions::TickedDisks() const {
  std::vector<std::string> disks;
  for (int i = 0; i < lvDisks->Count(); ++i)
    if (lvDisks->Item(i)->Checked()) disks.push_back(lvDisks->Item(i)->Caption());
  return disks;
}

void TfrmOptions::FillDiskList() {
  lvDisks->Clear();
  const char separator = ctx_.os.system.DecimalSeparator();
  for (char letter : FDrives) {
    if (letter == 'A' || letter == 'B') continue;  // the floppy letters
    ui::TListItem* row = lvDisks->Add();
    row->SetCaption(std::string(1, letter));
    int64_t free_bytes = -1;
    int64_t total_bytes = -1;
    if (!GetDiskSizes(ctx_.os.files, letter, &free_bytes, &total_bytes)) {
      row->AddSubItem(ui::Tr(kDriveNotReady));
      row->AddSubItem("");
      continue;
    }
    if (total_bytes < 0) {
      row->AddSubItem(ui::Tr(kSizeUnknown));
      row->AddSubItem("");
      continue;
    }
    const double gib = static_cast<double>(total_bytes) / kBytesPerGiB;
    row->AddSubItem(platform::FormatGeneral(gib, 4, separator));
    // Whole GiB with ties to the even number (8.5 gives 8, 9.5 gives 10).
    const auto whole_gib = static_cast<int64_t>(std::nearbyint(gib));
    row->AddSubItem(SecondsToTimeText(whole_gib * kSecondsPerGiB));
  }
}

void TfrmOptions::lbMoreInfoTimeEstClick(ui::TControl*) { ctx_.os.shell.Execute(0, "", kEstimateInfoAddress); }

void TfrmOptions::lbMoreInfoTimeEstMouseEnter(ui::TControl* Sender) { Sender->SetFontColor(ui::clRed); }

void TfrmOptions::lbMoreInfoTimeEstMouseLeave(ui::TControl* Sender) { Sender->SetFontColor(ui::clBlue); }

void TfrmOptions::RebuildDriveList() {
  platform::FileSystem& files = ctx_.os.files;
  const uint32_t old_mode = files.SetErrorMode(kNoOpenFileErrorBox);
  FDrives.clear();
  for (char letter : files.GetLogicalDrives()) {
    const platform::DriveType type = files.GetDriveType(std::string(1, letter) + ":\\");
    if (type == platform::DriveType::kRemovable || type == platform::DriveType::kFixed) FDrives.push_back(letter);
  }
  files.SetErrorMode(old_mode);
}

void TfrmOptions::HandleMessage(unsigned message) {
  if (message == ui::CM_VOLUMES_CHANGED) RebuildDriveList();
}

std::string SecondsToTimeText(int64_t seconds) {
  const int64_t hours = seconds / 3600;
  const int64_t minutes = seconds / 60 - hours * 60;
  const int64_t secs = seconds - (hours * 3600 + minutes * 60);
  return TwoDigits(hours) + ":" + TwoDigits(minutes) + ":" + TwoDigits(secs);
}
