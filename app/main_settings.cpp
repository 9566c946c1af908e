// LoadSettings and SaveSettings: the controls of the main window and the options dialog are the
// live settings, with the Group Policy laid over them; "general.conf" and the Run key keep the
// user's own between runs. Main thread only.
#include <string>
#include <utility>
#include <vector>

#include "app/dlgMain.h"
#include "ini/mem_ini_file.h"
#include "settings/autostart.h"
#include "settings/dlgOptions.h"
#include "settings/languages.h"
#include "settings/policy.h"
#include "settings/settings_file.h"

std::array<ui::TCheckBox*, kCategoryCount> TfrmMain::CategoryBoxes() const {
  std::array<ui::TCheckBox*, kCategoryCount> boxes{};
  boxes[kCategoryRecycle] = cbRecycleBin;
  boxes[kCategoryTemp] = cbTempFoldersAndFiles;
  boxes[kCategoryInternetCache] = cbInternetCache;
  boxes[kCategoryLogs] = cbLogFiles;
  boxes[kCategoryImagesDatabases] = cbImgCaches;
  boxes[kCategoryWindowsUpdateBackups] = cbWUBackup;
  return boxes;
}

TTickedCategories TfrmMain::TickedCategories() const {
  TTickedCategories ticked{};
  const auto boxes = CategoryBoxes();
  for (size_t c = 0; c < kCategoryCount; ++c) ticked[c] = boxes[c]->Checked();
  return ticked;
}

void TfrmMain::SetTickedCategories(const TTickedCategories& Ticked) {
  const auto boxes = CategoryBoxes();
  const TTickedCategories shown = ApplyCategoryPolicy(Ticked, FPolicy);
  for (size_t c = 0; c < kCategoryCount; ++c) {
    boxes[c]->SetChecked(shown[c]);
    boxes[c]->SetEnabled(!FPolicy.Categories[c]);
  }
}

void TfrmMain::LoadSettings() {
  FPolicy = ReadPolicy(ctx_.os.registry, ctx_.os.debug);
  TfrmOptions* options = ctx_.forms.frmOptions;
  std::vector<std::string> disks;
  if (options) {
    // The dialog is made after this window; it reports to it from the first load on.
    options->OnPresetChosen = [this](const TTickedCategories& ticked) { SetTickedCategories(ticked); };
    // A failed save throws out of here: the error is shown, nothing is reloaded over what the user
    // chose, and the dialog stays open so that they can try again.
    options->OnAccepted = [this] {
      SaveSettings();
      LoadSettings();
    };
    options->FillDiskList();
    disks = options->DiskCaptions();
  }
  const TScanSettings settings = ReadScanSettings(*FSettings, disks);
  if (options) {
    options->ShowScanSettings(settings, IsAutostartRegistered(ctx_.os.registry, kAutostartValueName), FPolicy);
    options->ShowLanguage(ReadLanguageChoice(*FSettings));
  }
  // After the preset: the stored categories win at load.
  SetTickedCategories(settings.Categories);
  FSettingsLoaded = true;
}

// Throws platform::Exception (naming the file and the system's reason) when the file cannot be
// written; the file on disk is then as it was, and the document and the registry already hold the
// new values.
void TfrmMain::SaveSettings() {
  TfrmOptions* options = ctx_.forms.frmOptions;
  WriteScanSettings(*FSettings, CurrentOwnSettings());
  if (options) WriteLanguageChoice(*FSettings, options->ChosenLanguage());
  if (options)
    SetAutostart(ctx_.os.registry, kAutostartValueName, ctx_.os.system.ExecutablePath(),
                 options->cbAutostart->Checked());
  FSettings->UpdateFile();
}

TScanSettings TfrmMain::CurrentOwnSettings() {
  TfrmOptions* options = ctx_.forms.frmOptions;
  const TScanSettings stored =
      ReadScanSettings(*FSettings, options ? options->DiskCaptions() : std::vector<std::string>());
  TScanSettings shown = stored;
  if (options) options->CollectScanSettings(shown);
  shown.Categories = TickedCategories();
  return OwnSettings(shown, stored, FPolicy);
}

void TfrmMain::RefreshPolicy() {
  TPolicy policy = ReadPolicy(ctx_.os.registry, ctx_.os.debug);
  if (policy == FPolicy || !FSettings) return;
  // The user's choices of this moment, then the new policy over them.
  const TScanSettings own = CurrentOwnSettings();
  FPolicy = std::move(policy);
  if (ctx_.forms.frmOptions) ctx_.forms.frmOptions->ShowPolicy(own, FPolicy);
  SetTickedCategories(own.Categories);
}
