// The options dialog: its drive rows, sizes and estimates, the scan-level presets, the tabs and
// what OK does, on the whole program's test doubles.
#include "settings/dlgOptions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/dlgMain.h"
#include "tests/support/test_env.h"

namespace {

constexpr double kGiB = 1073741824.0;
const std::string kSettingsFile =
    "C:\\Documents and Settings\\User\\Local Settings\\Application Data\\Torvex Clutterix\\general.conf";

int64_t GiB(double gib) { return std::llround(gib * kGiB); }

struct Row {
  std::string caption, size, estimate;
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
  return out << "{" << row.caption << " | " << row.size << " | " << row.estimate << "}";
}

std::vector<Row> Rows(const TfrmOptions& options) {
  std::vector<Row> rows;
  for (int i = 0; i < options.lvDisks->Count(); ++i) {
    const ui::TListItem* item = options.lvDisks->Item(i);
    rows.push_back({item->Caption(), item->SubItem(0), item->SubItem(1)});
  }
  return rows;
}

// The windows on test doubles, with drives planted before the dialog lists them.
struct OptionsEnv {
  template <class Plant>
  explicit OptionsEnv(Plant plant) {
    plant(env.fake.files);
    env.CreateForms();
  }
  OptionsEnv() : OptionsEnv([](FakeFileSystem&) {}) {}
  TfrmMain& main() { return *env.forms.frmMain; }
  TfrmOptions& options() { return *env.forms.frmOptions; }
  std::vector<bool> Categories() {
    TfrmMain& m = main();
    return {m.cbRecycleBin->Checked(),    m.cbTempFoldersAndFiles->Checked(),
            m.cbInternetCache->Checked(), m.cbImgCaches->Checked(),
            m.cbLogFiles->Checked(),      m.cbWUBackup->Checked()};
  }
  TestEnv env{false};
};

TEST(OptionsDrivesTest, OnlyFixedAndRemovableDrivesOtherThanTheFloppyLettersAreListed) {
  OptionsEnv o([](FakeFileSystem& files) {
    files.AddDrive('A', platform::DriveType::kRemovable, true, 0, 1 << 20);
    files.AddDrive('B', platform::DriveType::kFixed, true, 0, 1 << 20);
    files.AddDrive('D', platform::DriveType::kRemovable, true, 0, GiB(8.5));
    files.AddDrive('E', platform::DriveType::kCdRom, true, 0, GiB(0.6));
    files.AddDrive('F', platform::DriveType::kRemote, true, 0, GiB(100));
    files.error_mode = 0x1;
  });
  EXPECT_EQ(o.options().DriveList(), (std::vector<char>{'A', 'B', 'C', 'D'}));
  // The quiet error mode is only held while the drives are listed.
  EXPECT_EQ(o.env.fake.files.error_mode, 0x1u);
  o.options().FillDiskList();
  EXPECT_EQ(Rows(o.options()), (std::vector<Row>{{"C", "4", "00:01:08"}, {"D", "8.5", "00:02:16"}}));
  EXPECT_EQ(o.env.fake.files.error_mode, 0x1u);
}

TEST(OptionsDrivesTest, AVolumeChangeRebuildsTheDriveListAndTheNextLoadShowsIt) {
  OptionsEnv o;
  o.main().Show();
  ASSERT_EQ(o.options().lvDisks->Count(), 1);
  o.env.fake.files.AddDrive('G', platform::DriveType::kRemovable, true, 0, GiB(2));
  o.options().HandleMessage(ui::CM_VOLUMES_CHANGED);
  EXPECT_EQ(o.options().DriveList(), (std::vector<char>{'C', 'G'}));
  EXPECT_EQ(o.options().lvDisks->Count(), 1);  // rows follow at the next load
  o.main().LoadSettings();
  EXPECT_EQ(Rows(o.options()).back(), (Row{"G", "2", "00:00:34"}));
}

TEST(OptionsDrivesTest, ADriveThatIsNotReadySaysSoAndHasNoEstimate) {
  OptionsEnv o([](FakeFileSystem& files) { files.AddDrive('D', platform::DriveType::kRemovable, false); });
  o.options().FillDiskList();
  ASSERT_EQ(Rows(o.options()).size(), 2u);
  EXPECT_EQ(Rows(o.options())[1], (Row{"D", "Not ready", ""}));
}

struct SizeCase {
  double gib;
  const char* size;
  const char* estimate;
};

class OptionsSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(OptionsSizeTest, SizeInGiBWithFourDigitsAndSeventeenSecondsPerWholeGiB) {
  const SizeCase c = GetParam();
  OptionsEnv o([&](FakeFileSystem& files) { files.AddDrive('C', platform::DriveType::kFixed, true, 0, GiB(c.gib)); });
  o.options().FillDiskList();
  ASSERT_EQ(o.options().lvDisks->Count(), 1);
  EXPECT_EQ(Rows(o.options())[0], (Row{"C", c.size, c.estimate}));
}

INSTANTIATE_TEST_SUITE_P(Disks, OptionsSizeTest,
                         ::testing::Values(SizeCase{465.76, "465.8", "02:12:02"}, SizeCase{74.53, "74.53", "00:21:15"},
                                           SizeCase{8.5, "8.5", "00:02:16"}, SizeCase{9.5, "9.5", "00:02:50"},
                                           SizeCase{1863.02, "1863", "08:47:51"}, SizeCase{0, "0", "00:00:00"}));

TEST(OptionsDrivesTest, SizeUsesTheUsersDecimalSeparator) {
  OptionsEnv o([](FakeFileSystem& files) { files.AddDrive('C', platform::DriveType::kFixed, true, 0, GiB(74.53)); });
  o.env.fake.system.decimal_separator = ',';
  o.options().FillDiskList();
  EXPECT_EQ(o.options().lvDisks->Item(0)->SubItem(0), "74,53");
}

TEST(SecondsToTimeTextTest, TwoDigitsEachAndUnboundedHours) {
  EXPECT_EQ(SecondsToTimeText(0), "00:00:00");
  EXPECT_EQ(SecondsToTimeText(59), "00:00:59");
  EXPECT_EQ(SecondsToTimeText(3599), "00:59:59");
  EXPECT_EQ(SecondsToTimeText(7922), "02:12:02");
  EXPECT_EQ(SecondsToTimeText(360000), "100:00:00");
}

TEST(OptionsScanLevelTest, EachListItemReportsItsPresetAndOtherIndexesNothing) {
  OptionsEnv o;
  std::vector<TTickedCategories> chosen;
  o.options().OnPresetChosen = [&](const TTickedCategories& ticked) { chosen.push_back(ticked); };
  for (int i = -1; i <= 4; ++i) o.options().ApplyScanLevel(i);
  ASSERT_EQ(chosen.size(), 4u);
  EXPECT_EQ(o.options().cbScanLevel->Items().size(), 4u);
  // The deep scan leaves out only the category recommended for experts; the narrow ones tick one.
  TTickedCategories deep{};
  deep.fill(true);
  deep[kCategoryWindowsUpdateBackups] = false;
  EXPECT_EQ(chosen[0], deep);
  TTickedCategories internet{}, temp{};
  internet[kCategoryInternetCache] = temp[kCategoryTemp] = true;
  EXPECT_EQ(chosen[2], internet);
  EXPECT_EQ(chosen[3], temp);
}

TEST(OptionsScanLevelTest, PickingALevelShowsOnTheMainWindowAtOnce) {
  OptionsEnv o;
  o.main().Show();
  o.options().cbScanLevel->UserSelected(2);
  EXPECT_EQ(o.Categories(), (std::vector<bool>{false, false, true, false, false, false}));
}

TEST(OptionsDialogTest, OpensFirstOnOtherAndKeepsTheLastTab) {
  OptionsEnv o;
  EXPECT_EQ(o.options().PageControl1->ActivePageIndex(), 1);
  EXPECT_EQ(o.options().PageControl1->Controls()[1], o.options().tsOther);
  o.env.backend.responders["frmOptions"] = [](ui::TForm& form) {
    static_cast<TfrmOptions&>(form).PageControl1->UserSelectedPage(0);
    return ui::TModalResult::mrCancel;
  };
  o.options().ShowModal();
  EXPECT_EQ(o.options().PageControl1->ActivePageIndex(), 0);
}

TEST(OptionsDialogTest, OkSavesReloadsAndCloses) {
  OptionsEnv o;
  o.main().Show();
  o.env.fake.files.AddDrive('H', platform::DriveType::kFixed, true, 0, GiB(1));
  o.options().HandleMessage(ui::CM_VOLUMES_CHANGED);
  o.env.backend.responders["frmOptions"] = [](ui::TForm& form) {
    auto& options = static_cast<TfrmOptions&>(form);
    options.editNoiseLevel->UserEdited("65536");
    options.cbStartScanAuto->UserToggled(true);
    options.btnOK->DoClick();
    return ui::TModalResult::mrNone;
  };
  EXPECT_EQ(o.options().ShowModal(), ui::TModalResult::mrOk);
  const std::string file = o.env.fake.files.Content(kSettingsFile);
  EXPECT_NE(file.find("NoiseLevel=65536\r\nAutoStartScan=1\r\n"), std::string::npos) << file;
  // The reload rebuilt the rows: the drive that arrived is listed, ticked by default.
  ASSERT_EQ(o.options().lvDisks->Count(), 2);
  EXPECT_TRUE(o.options().lvDisks->Item(1)->Checked());
}

TEST(OptionsDialogTest, AFailedSaveAtOkIsShownAndKeepsTheDialogOpenWithoutReload) {
  OptionsEnv o;
  o.main().Show();
  o.env.fake.files.SetWriteFailure("Access is denied.");
  o.env.fake.files.AddDrive('H', platform::DriveType::kFixed, true, 0, GiB(1));
  o.options().HandleMessage(ui::CM_VOLUMES_CHANGED);
  ui::TModalResult after_ok = ui::TModalResult::mrOk;
  o.env.backend.responders["frmOptions"] = [&](ui::TForm& form) {
    static_cast<TfrmOptions&>(form).btnOK->DoClick();
    after_ok = form.ModalResult();
    return ui::TModalResult::mrCancel;  // the user gives up and closes the window
  };
  o.options().ShowModal();
  EXPECT_EQ(after_ok, ui::TModalResult::mrNone);
  ASSERT_EQ(o.env.backend.errors.size(), 1u);
  EXPECT_NE(o.env.backend.errors[0].find("general.conf"), std::string::npos) << o.env.backend.errors[0];
  EXPECT_EQ(o.options().lvDisks->Count(), 1);  // no reload
  EXPECT_FALSE(o.env.fake.files.Exists(kSettingsFile));
}

TEST(OptionsDialogTest, TheSecureEraseBoxIsNotStored) {
  OptionsEnv o;
  o.main().Show();
  o.options().CheckBox1->SetChecked(true);
  o.main().SaveSettings();
  o.main().LoadSettings();
  EXPECT_TRUE(o.options().CheckBox1->Checked());  // untouched by load
  EXPECT_EQ(o.env.fake.files.Content(kSettingsFile).find("CheckBox1"), std::string::npos);
}

}  // namespace
