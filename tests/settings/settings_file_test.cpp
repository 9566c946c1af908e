// LoadSettings and SaveSettings over the whole program on test doubles: what a file gives the
// controls, what the controls give the file, and what a failed save leaves behind.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/dlgMain.h"
#include "platform/exception.h"
#include "settings/dlgOptions.h"
#include "tests/support/test_env.h"

namespace {

constexpr const char* kSettingsFolder =
    "C:\\Documents and Settings\\User\\Local Settings\\Application Data\\Torvex Clutterix";
const std::string kSettingsFile = std::string(kSettingsFolder) + "\\general.conf";

struct SettingsEnv {
  // `file` nullptr: no settings file. Drive C (fixed) exists in every fake file system.
  explicit SettingsEnv(const char* file, bool unreadable = false) {
    env.fake.files.AddDrive('D', platform::DriveType::kFixed, true, 1ll << 30, 8ll << 30);
    if (file) env.fake.files.AddFileWithContent(kSettingsFile, file);
    if (unreadable) env.fake.files.MakeUnreadable(kSettingsFile);
    env.CreateForms();
  }
  // The first showing loads the settings; the posted start-up checks are left undelivered.
  void Show() { env.forms.frmMain->Show(); }
  TfrmMain& main() { return *env.forms.frmMain; }
  TfrmOptions& options() { return *env.forms.frmOptions; }
  std::string File() { return env.fake.files.Content(kSettingsFile); }
  std::vector<bool> Categories() {
    TfrmMain& m = main();
    return {m.cbRecycleBin->Checked(),    m.cbTempFoldersAndFiles->Checked(),
            m.cbInternetCache->Checked(), m.cbImgCaches->Checked(),
            m.cbLogFiles->Checked(),      m.cbWUBackup->Checked()};
  }

  TestEnv env{false};
};

const std::vector<bool> kAllTicked(6, true);

TEST(SettingsFileTest, FirstRunShowsEveryDefaultAndWritesNothing) {
  SettingsEnv s(nullptr);
  s.Show();
  ASSERT_EQ(s.options().lvDisks->Count(), 2);
  EXPECT_TRUE(s.options().lvDisks->Item(0)->Checked());
  EXPECT_TRUE(s.options().lvDisks->Item(1)->Checked());
  EXPECT_EQ(s.options().cbScanLevel->ItemIndex(), 0);
  EXPECT_EQ(s.options().editNoiseLevel->Text(), "4096");
  EXPECT_FALSE(s.options().cbStartScanAuto->Checked());
  EXPECT_FALSE(s.options().cbAutostart->Checked());
  // The level-0 preset clears Windows Update backups, but the stored (default) categories win.
  EXPECT_EQ(s.Categories(), kAllTicked);
  EXPECT_TRUE(s.main().FSettingsLoaded);
  EXPECT_FALSE(s.env.fake.files.Exists(kSettingsFile));
}

TEST(SettingsFileTest, FirstSaveWritesTheKeysInTheirOrder) {
  SettingsEnv s(nullptr);
  s.Show();
  s.options().lvDisks->Item(1)->SetChecked(false);
  s.main().cbLogFiles->SetChecked(false);
  s.main().SaveSettings();
  EXPECT_EQ(s.File(),
            "[Scan]\r\n"
            "C=1\r\n"
            "D=0\r\n"
            "Level=0\r\n"
            "NoiseLevel=4096\r\n"
            "AutoStartScan=0\r\n"
            "RecycleBin=1\r\n"
            "TempFoldersAndFiles=1\r\n"
            "InternetCache=1\r\n"
            "ImgCaches=1\r\n"
            "LogFiles=0\r\n"
            "WUBackup=1\r\n"
            "\r\n");
}

TEST(SettingsFileTest, StoredValuesReachTheControls) {
  SettingsEnv s(
      "[Scan]\r\nD=0\r\nLevel=2\r\nNoiseLevel= 12 kB \r\nAutoStartScan=1\r\n"
      "RecycleBin=0\r\nTempFoldersAndFiles=0\r\nInternetCache=1\r\nImgCaches=0\r\nLogFiles=1\r\nWUBackup=0\r\n");
  s.Show();
  EXPECT_TRUE(s.options().lvDisks->Item(0)->Checked());
  EXPECT_FALSE(s.options().lvDisks->Item(1)->Checked());
  EXPECT_EQ(s.options().cbScanLevel->ItemIndex(), 2);
  // Stored as typed, read back trimmed as any INI value; not validated here.
  EXPECT_EQ(s.options().editNoiseLevel->Text(), "12 kB");
  EXPECT_TRUE(s.options().cbStartScanAuto->Checked());
  EXPECT_EQ(s.Categories(), (std::vector<bool>{false, false, true, false, true, false}));
}

TEST(SettingsFileTest, LevelOutsideTheItemsSelectsNothingAndIsSavedAsMinusOne) {
  SettingsEnv s("[Scan]\r\nLevel=7\r\nWUBackup=0\r\n");
  s.Show();
  EXPECT_EQ(s.options().cbScanLevel->ItemIndex(), -1);
  EXPECT_EQ(s.Categories(), (std::vector<bool>{true, true, true, true, true, false}));
  s.main().SaveSettings();
  EXPECT_NE(s.File().find("\r\nLevel=-1\r\n"), std::string::npos);
}

TEST(SettingsFileTest, BooleansThatDoNotConvertGiveTheDefaultAndKeysIgnoreCase) {
  SettingsEnv s("[scan]\r\nRecycleBin=yes\r\nlogfiles=0\r\nautostartscan=true\r\nWUBACKUP=2\r\n");
  s.Show();
  EXPECT_TRUE(s.main().cbRecycleBin->Checked());
  EXPECT_FALSE(s.main().cbLogFiles->Checked());
  EXPECT_FALSE(s.options().cbStartScanAuto->Checked());
  EXPECT_TRUE(s.main().cbWUBackup->Checked());
}

TEST(SettingsFileTest, SaveKeepsForeignSectionsKeysAndVanishedDrivesButDropsComments) {
  SettingsEnv s(
      "; written by hand\r\n"
      "[Update]\r\nCheckAtStart=1\r\nHost=updates.example:8080\r\n"
      "\r\n"
      "[Scan]\r\nZ=0\r\nMystery=42\r\n; old note\r\nLevel=1\r\n"
      "[Extra]\r\nkept line without equals\r\n");
  s.Show();
  s.main().SaveSettings();
  EXPECT_EQ(s.File(),
            "[Update]\r\nCheckAtStart=1\r\nHost=updates.example:8080\r\n\r\n"
            "[Scan]\r\nZ=0\r\nMystery=42\r\nLevel=1\r\nC=1\r\nD=1\r\nNoiseLevel=4096\r\nAutoStartScan=0\r\n"
            "RecycleBin=1\r\nTempFoldersAndFiles=1\r\nInternetCache=1\r\nImgCaches=1\r\nLogFiles=1\r\nWUBackup=1\r\n"
            "\r\n"
            "[Extra]\r\nkept line without equals\r\n\r\n");
}

TEST(SettingsFileTest, FailedSaveNamesTheFileAndReasonAndLeavesTheFileAlone) {
  const char* original = "[Scan]\r\nLevel=3\r\n";
  SettingsEnv s(original);
  s.Show();
  s.options().editNoiseLevel->SetText("1");
  s.env.fake.files.SetWriteFailure("Access is denied.");
  try {
    s.main().SaveSettings();
    FAIL() << "a failed save must not pass for a success";
  } catch (const platform::Exception& error) {
    EXPECT_NE(error.Message().find(kSettingsFile), std::string::npos) << error.Message();
    EXPECT_NE(error.Message().find("Access is denied."), std::string::npos) << error.Message();
  }
  EXPECT_EQ(s.File(), original);

  // Closing the main window after the failure reports it and still ends the program.
  s.main().Close();
  ASSERT_EQ(s.env.backend.errors.size(), 1u);
  EXPECT_NE(s.env.backend.errors[0].find("Access is denied."), std::string::npos);
  EXPECT_TRUE(s.env.app.Terminated());
  EXPECT_EQ(s.File(), original);
}

TEST(SettingsFileTest, SaveIntoAMissingFolderFails) {
  SettingsEnv s(nullptr);
  s.Show();
  ASSERT_TRUE(s.env.fake.files.RemoveTree(kSettingsFolder));
  EXPECT_THROW(s.main().SaveSettings(), platform::Exception);
  EXPECT_FALSE(s.env.fake.files.Exists(kSettingsFile));
}

TEST(SettingsFileTest, PresetPickedWithoutOkIsStoredWhenTheMainWindowCloses) {
  SettingsEnv s(nullptr);
  s.Show();
  s.env.backend.responders["frmOptions"] = [](ui::TForm& form) {
    static_cast<TfrmOptions&>(form).cbScanLevel->UserSelected(2);
    return ui::TModalResult::mrCancel;  // the window's close button
  };
  s.main().lbAdvancedOptionsClick(nullptr);
  EXPECT_EQ(s.Categories(), (std::vector<bool>{false, false, true, false, false, false}));
  EXPECT_FALSE(s.env.fake.files.Exists(kSettingsFile));
  s.main().Close();
  const std::string file = s.File();
  EXPECT_NE(file.find("Level=2\r\n"), std::string::npos);
  EXPECT_NE(file.find("RecycleBin=0\r\nTempFoldersAndFiles=0\r\nInternetCache=1\r\nImgCaches=0\r\nLogFiles=0\r\n"
                      "WUBackup=0\r\n"),
            std::string::npos)
      << file;
}

// A settings file held open by another program at start-up: the defaults shown meanwhile never
// replace it, neither at OK in the options dialog (which says why) nor when the window closes.
TEST(SettingsFileTest, AFileThatCouldNotBeReadIsKeptAndSaidSo) {
  const char* original = "[Scan]\r\nLevel=3\r\nNoiseLevel=1\r\n[Update]\r\nCheckAtStart=1\r\nHost=mirror\r\n";
  SettingsEnv s(original, true);
  s.Show();
  const auto lines = s.env.fake.debug.Lines();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find(kSettingsFile) != std::string::npos && line.find("could not be read") != std::string::npos;
  })) << "no debug line names the unreadable file";

  s.env.backend.responders["frmOptions"] = [](ui::TForm& form) {
    static_cast<TfrmOptions&>(form).btnOK->DoClick();
    return ui::TModalResult::mrCancel;
  };
  s.options().ShowModal();
  ASSERT_EQ(s.env.backend.errors.size(), 1u);
  EXPECT_NE(s.env.backend.errors[0].find("could not be read, so they were not saved over"), std::string::npos)
      << s.env.backend.errors[0];
  EXPECT_EQ(s.File(), original);

  s.main().Close();
  EXPECT_TRUE(s.env.app.Terminated());
  EXPECT_EQ(s.env.backend.errors.size(), 1u) << "closing is no save, so it has nothing to report";
  EXPECT_EQ(s.File(), original);
}

// The age filter and the exclusions: kept between runs in keys of their own, which a file
// written before them does without (it then saves as before); a section of exclusions is the
// list, rewritten whole.
TEST(SettingsFileTest, AgeAndExclusionsRoundTripThroughTheDialog) {
  SettingsEnv s(
      "[Scan]\r\nMinAgeDays=500\r\n[Exclusions]\r\nItem1=C:\\Temp\\keep\r\nold=*.docx\r\nItem9=\r\n"
      "[Update]\r\nHost=mirror\r\n");
  s.Show();
  EXPECT_EQ(s.options().editMinAge->Text(), "365");
  EXPECT_EQ(s.options().Exclusions(), (std::vector<std::string>{"C:\\Temp\\keep", "*.docx"}));

  s.options().editMinAge->SetText("14");
  s.options().AddExclusion("c:\\TEMP\\keep\\");  // already there
  s.options().AddExclusion(" D:\\Data\\ ");
  EXPECT_THROW(s.options().AddExclusion("Temp\\keep"), platform::Exception);
  s.options().lvExclusions->UserSelected(1);
  s.options().btnRemoveExclusionClick(nullptr);
  s.main().SaveSettings();
  const std::string file = s.File();
  EXPECT_NE(file.find("[Scan]\r\nMinAgeDays=14\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("[Update]\r\nHost=mirror\r\n\r\n[Exclusions]\r\nItem1=C:\\Temp\\keep\r\nItem2=D:\\Data\r\n\r\n"),
            std::string::npos)
      << file;

  // The scan takes them from the dialog as it holds them.
  const TScanFilters filters = s.options().ScanFilters(s.env.fake.system.now);
  EXPECT_EQ(filters.ChangedBefore, s.env.fake.system.now - 14 * kFileTimeTicksPerDay);
  EXPECT_TRUE(filters.Exclusions.Excludes("D:\\data\\x"));

  // Emptied, the list leaves no section behind; off, the age stays as a key once written.
  s.options().lvExclusions->Clear();
  s.options().editMinAge->SetText("0");
  s.main().SaveSettings();
  EXPECT_EQ(s.File().find("Exclusions"), std::string::npos) << s.File();
  EXPECT_NE(s.File().find("MinAgeDays=0\r\n"), std::string::npos) << s.File();
}

TEST(SettingsFileTest, AnAgeThatIsNoNumberIsRefusedAtOkAndNeverStoredAsOff) {
  SettingsEnv s("[Scan]\r\nMinAgeDays=30\r\n");
  s.Show();
  s.env.backend.responders["frmOptions"] = [](ui::TForm& form) {
    auto& options = static_cast<TfrmOptions&>(form);
    options.editMinAge->SetText("a week");
    options.btnOK->DoClick();
    return form.ModalResult();
  };
  EXPECT_NE(s.options().ShowModal(), ui::TModalResult::mrOk);
  ASSERT_EQ(s.env.backend.errors.size(), 1u);
  EXPECT_NE(s.env.backend.errors[0].find("\"a week\" is not an age"), std::string::npos) << s.env.backend.errors[0];
  EXPECT_THROW(s.options().ScanFilters(0), platform::Exception);
  s.main().Close();
  EXPECT_NE(s.File().find("MinAgeDays=30\r\n"), std::string::npos) << s.File();
}

}  // namespace
