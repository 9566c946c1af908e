// LoadSettings and SaveSettings: the controls of the main window and the options dialog are the
// live settings; "general.conf" (section "Scan") and the Run key keep them between runs. Other
// sections of the file (such as "Update") are kept as loaded and never rewritten here.
#include "app/dlgMain.h"
#include "settings/autostart.h"
#include "settings/dlgOptions.h"
#include "settings/mem_ini_file.h"

namespace {

constexpr const char* kScan = "Scan";
// The registry value name of the autostart entry.
constexpr const char* kProductName = "Clutterix";

}  // namespace

void TfrmMain::LoadSettings() {
  TMemIniFile& ini = *FSettings;
  if (TfrmOptions* options = ctx_.forms.frmOptions) {
    options->FillDiskList();
    for (int i = 0; i < options->lvDisks->Count(); ++i) {
      ui::TListItem* row = options->lvDisks->Item(i);
      row->SetChecked(ini.ReadBool(kScan, row->Caption(), true));
    }
    // An index outside the items selects nothing, and then no preset applies.
    options->cbScanLevel->SetItemIndex(ini.ReadInteger(kScan, "Level", 0));
    options->ApplyScanLevel(options->cbScanLevel->ItemIndex());
    options->editNoiseLevel->SetText(ini.ReadString(kScan, "NoiseLevel", "4096"));
    options->cbAutostart->SetChecked(IsAutostartRegistered(ctx_.os.registry, kProductName));
    options->cbStartScanAuto->SetChecked(ini.ReadBool(kScan, "AutoStartScan", false));
  }
  // After the preset: the stored categories win at load.
  cbRecycleBin->SetChecked(ini.ReadBool(kScan, "RecycleBin", true));
  cbTempFoldersAndFiles->SetChecked(ini.ReadBool(kScan, "TempFoldersAndFiles", true));
  cbInternetCache->SetChecked(ini.ReadBool(kScan, "InternetCache", true));
  cbImgCaches->SetChecked(ini.ReadBool(kScan, "ImgCaches", true));
  cbLogFiles->SetChecked(ini.ReadBool(kScan, "LogFiles", true));
  cbWUBackup->SetChecked(ini.ReadBool(kScan, "WUBackup", true));
  FSettingsLoaded = true;
}

// Throws platform::Exception (naming the file and the system's reason) when the file cannot be
// written; the file on disk is then as it was, and the document and the registry already hold the
// new values.
void TfrmMain::SaveSettings() {
  TMemIniFile& ini = *FSettings;
  if (TfrmOptions* options = ctx_.forms.frmOptions) {
    for (int i = 0; i < options->lvDisks->Count(); ++i) {
      const ui::TListItem* row = options->lvDisks->Item(i);
      ini.WriteBool(kScan, row->Caption(), row->Checked());
    }
    ini.WriteInteger(kScan, "Level", options->cbScanLevel->ItemIndex());
    ini.WriteString(kScan, "NoiseLevel", options->editNoiseLevel->Text());
    SetAutostart(ctx_.os.registry, kProductName, ctx_.os.system.ExecutablePath(), options->cbAutostart->Checked());
    ini.WriteBool(kScan, "AutoStartScan", options->cbStartScanAuto->Checked());
  }
  ini.WriteBool(kScan, "RecycleBin", cbRecycleBin->Checked());
  ini.WriteBool(kScan, "TempFoldersAndFiles", cbTempFoldersAndFiles->Checked());
  ini.WriteBool(kScan, "InternetCache", cbInternetCache->Checked());
  ini.WriteBool(kScan, "ImgCaches", cbImgCaches->Checked());
  ini.WriteBool(kScan, "LogFiles", cbLogFiles->Checked());
  ini.WriteBool(kScan, "WUBackup", cbWUBackup->Checked());
  ini.UpdateFile();
}
