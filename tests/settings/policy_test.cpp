// Group Policy: the values read from the machine's and the user's keys (the machine's winning, bad
// data passed over), and the whole program with a policy: the controls it sets shown and disabled,
// the runs obeying it, and the user's own settings kept in the file and back once it goes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/dlgMain.h"
#include "ini/mem_ini_file.h"
#include "settings/dlgOptions.h"
#include "settings/policy.h"
#include "tests/support/test_env.h"

namespace {

using platform::ValueKind;

const std::string kMachine = std::string("HKLM\\") + kPolicyKey;
const std::string kUser = std::string("HKCU\\") + kPolicyKey;
const std::string kMachineCategories = std::string("HKLM\\") + kPolicyCategoriesKey;
const std::string kUserCategories = std::string("HKCU\\") + kPolicyCategoriesKey;

FakeRegistry::Value Number(uint32_t n) { return {ValueKind::kNumber, "", n}; }
FakeRegistry::Value Text(const std::string& text) { return {ValueKind::kString, text}; }

bool Logged(FakeDebugOutput& debug, const std::string& part) {
  const auto lines = debug.Lines();
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

TEST(PolicyReadTest, TheMachineWinsValueByValueAndTheUserFillsTheRest) {
  FakePlatform fake;
  auto& keys = fake.registry.keys;
  keys[kMachineCategories]["LogFiles"] = Number(0);
  keys[kUserCategories]["LogFiles"] = Number(1);
  keys[kUserCategories]["recyclebin"] = Number(1);  // names ignore case
  keys[kMachine]["MinAgeDays"] = Number(30);
  keys[kUser]["MinAgeDays"] = Number(7);
  keys[kUser]["Disks"] = Text(" d:\\, c: ;D ");
  keys[kMachine]["CheckForUpdates"] = Number(0);
  keys[kUser]["Language"] = Text("pt-BR");
  keys[std::string("HKLM\\") + kPolicyExclusionsKey] = {{"1", Text("C:\\Keep\\")}, {"2", Text("*.docx")}};
  keys[std::string("HKCU\\") + kPolicyExclusionsKey] = {{"1", Text("c:\\keep")}, {"x", Text("*.pst")}};

  const TPolicy policy = ReadPolicy(fake.registry, fake.debug);
  EXPECT_EQ(policy.Categories[kCategoryLogs], false);
  EXPECT_EQ(policy.Categories[kCategoryRecycle], true);
  EXPECT_FALSE(policy.Categories[kCategoryTemp].has_value());
  EXPECT_EQ(policy.MinAgeDays, 30);
  EXPECT_EQ(policy.Disks, "CD");
  EXPECT_EQ(policy.CheckForUpdates, false);
  EXPECT_EQ(policy.Language, "pt-BR");
  // Both lists apply, each entry once.
  EXPECT_EQ(policy.Exclusions, (std::vector<std::string>{"C:\\Keep", "*.docx", "*.pst"}));
  EXPECT_TRUE(fake.debug.Lines().empty());
  EXPECT_TRUE(policy.SetsShownSettings());

  keys.clear();
  EXPECT_EQ(ReadPolicy(fake.registry, fake.debug), TPolicy());
  EXPECT_FALSE(TPolicy().SetsShownSettings());
}

TEST(PolicyReadTest, BadDataIsPassedOverWithADebugLineAndTheUsersGoodValueServes) {
  FakePlatform fake;
  auto& keys = fake.registry.keys;
  keys[kMachineCategories]["TempFoldersAndFiles"] = Text("1");  // a string where a DWORD belongs
  keys[kUserCategories]["TempFoldersAndFiles"] = Number(0);
  keys[kMachineCategories]["WUBackup"] = Number(2);
  keys[kMachineCategories]["Cookies"] = Number(1);
  keys[kMachine]["MinAgeDays"] = Number(400);
  keys[kUser]["MinAgeDays"] = {ValueKind::kOther, ""};
  keys[kMachine]["Disks"] = Text("C;Data");
  keys[kMachine]["Language"] = Text("Deutsch!");
  keys[kUser]["Language"] = Text("");  // empty: the user's choice
  keys[kMachine]["CheckForUpdates"] = Text("off");
  keys[std::string("HKLM\\") + kPolicyExclusionsKey] = {{"1", Text("Temp\\keep")}, {"2", Number(5)}};

  const TPolicy policy = ReadPolicy(fake.registry, fake.debug);
  EXPECT_EQ(policy.Categories[kCategoryTemp], false);
  EXPECT_FALSE(policy.Categories[kCategoryWindowsUpdateBackups].has_value());
  EXPECT_FALSE(policy.MinAgeDays.has_value());
  EXPECT_FALSE(policy.Disks.has_value());
  EXPECT_FALSE(policy.Language.has_value());
  EXPECT_FALSE(policy.CheckForUpdates.has_value());
  EXPECT_TRUE(policy.Exclusions.empty());
  for (const char* line :
       {"HKLM\\Software\\Policies\\Torvex\\Clutterix\\Categories\\TempFoldersAndFiles is no REG_DWORD; ignored",
        "Categories\\WUBackup is 2, not 0 to 1", "Categories\\Cookies names no category",
        "HKLM\\Software\\Policies\\Torvex\\Clutterix\\MinAgeDays is 400, not 0 to 365",
        "HKCU\\Software\\Policies\\Torvex\\Clutterix\\MinAgeDays is no REG_DWORD", "Disks is \"C;Data\"",
        "Language is \"Deutsch!\"", "CheckForUpdates is no REG_DWORD", "Exclusions\\1 is \"Temp\\keep\", neither",
        "Exclusions\\2 is no REG_SZ"})
    EXPECT_TRUE(Logged(fake.debug, line)) << line;
  // Policies are only read: nothing was written through a key opened for it.
  fake.registry.keys[kMachine]["Probe"] = Text("x");
  EXPECT_FALSE(fake.registry.OpenKeyToRead(platform::RegistryRoot::kLocalMachine, kPolicyKey)->DeleteValue("Probe"));
}

// --- The whole program -----------------------------------------------------------------------

constexpr const char* kSettingsFile =
    "C:\\Documents and Settings\\User\\Local Settings\\Application Data\\Torvex Clutterix\\general.conf";

struct PolicyEnv {
  PolicyEnv() {
    env.fake.files.AddDrive('D', platform::DriveType::kFixed, true, 1ll << 30, 8ll << 30);
    env.fake.files.AddFileWithContent(kSettingsFile,
                                      "[Scan]\r\nD=1\r\nLogFiles=1\r\nInternetCache=0\r\nMinAgeDays=3\r\n"
                                      "[Exclusions]\r\nItem1=C:\\Mine\r\n");
    auto& keys = env.fake.registry.keys;
    keys[kMachineCategories]["LogFiles"] = Number(0);
    keys[kUserCategories]["InternetCache"] = Number(1);
    keys[kMachine]["Disks"] = Text("C");
    keys[kMachine]["MinAgeDays"] = Number(30);
    keys[std::string("HKLM\\") + kPolicyExclusionsKey]["1"] = Text("C:\\Org");
    env.CreateForms();
    env.forms.frmMain->Show();
  }
  TfrmMain& main() { return *env.forms.frmMain; }
  TfrmOptions& options() { return *env.forms.frmOptions; }
  std::string File() { return env.fake.files.Content(kSettingsFile); }

  TestEnv env{false};
};

TEST(PolicyProgramTest, ThePolicySetsTheControlsWhichTheUserCannotChange) {
  PolicyEnv p;
  TfrmMain& m = p.main();
  TfrmOptions& o = p.options();
  EXPECT_FALSE(m.cbLogFiles->Checked());
  EXPECT_FALSE(m.cbLogFiles->Enabled());
  EXPECT_TRUE(m.cbInternetCache->Checked());
  EXPECT_FALSE(m.cbInternetCache->Enabled());
  EXPECT_TRUE(m.cbTempFoldersAndFiles->Enabled());
  // A preset changes the user's categories only.
  o.ApplyScanLevel(kPresetInternet);
  EXPECT_FALSE(m.cbLogFiles->Checked());
  EXPECT_TRUE(m.cbInternetCache->Checked());
  EXPECT_FALSE(m.cbTempFoldersAndFiles->Checked());

  ASSERT_EQ(o.lvDisks->Count(), 2);
  EXPECT_TRUE(o.lvDisks->Item(0)->Checked());
  EXPECT_FALSE(o.lvDisks->Item(1)->Checked()) << "D is not among the policy's disks";
  EXPECT_FALSE(o.lvDisks->Enabled());
  EXPECT_EQ(o.editMinAge->Text(), "30");
  EXPECT_FALSE(o.editMinAge->Enabled());
  EXPECT_TRUE(o.lbPolicyNote->Visible());
  EXPECT_EQ(o.lbPolicyNote->Caption(), "Some settings are set by your organisation and cannot be changed here.");

  // The organisation's exclusion is shown first and stays when the user removes every row.
  ASSERT_EQ(o.lvExclusions->Count(), 2);
  EXPECT_EQ(o.lvExclusions->Item(0)->Caption(), "C:\\Org");
  EXPECT_EQ(o.lvExclusions->Item(0)->SubItem(0), "Organisation");
  o.AddExclusion("c:\\org\\");  // already there
  EXPECT_EQ(o.lvExclusions->Count(), 2);
  for (int i = 0; i < o.lvExclusions->Count(); ++i) o.lvExclusions->Item(i)->SetSelected(true);
  o.btnRemoveExclusionClick(nullptr);
  ASSERT_EQ(o.lvExclusions->Count(), 1);
  EXPECT_EQ(o.lvExclusions->Item(0)->Caption(), "C:\\Org");

  // The scan job obeys: no rule of a category forced off, the policy's disks, age and exclusions.
  p.env.fake.shell.special_folders = {{platform::kCsidlRecent, "C:\\Recent"},
                                      {platform::kCsidlLocalAppData, "C:\\Local"},
                                      {platform::kCsidlInternetCache, "C:\\Cache"},
                                      {platform::kCsidlProfile, "C:\\Users\\Anna"}};
  p.env.fake.files.AddFileWithContent("C:\\rules.cxtraces",
                                      "[L]\r\nLevel=Logs\r\nPath=C:\\Logs\r\nTemplate=*.log\r\nType=0\r\n"
                                      "[I]\r\nLevel=Internet Cache\r\nPath=C:\\Cache\r\nTemplate=*\r\nType=0\r\n");
  m.FTraceDefinitions = std::make_unique<TMemIniFile>(p.env.fake.files, "C:\\rules.cxtraces");
  const TScanJob job = m.BuildScanJob();
  EXPECT_EQ(job.Paths, (std::vector<std::string>{"C:\\Cache"}));
  EXPECT_EQ(job.Drives, (std::vector<std::string>{"C"}));
  EXPECT_EQ(job.Filters.ChangedBefore, p.env.fake.system.now - 30 * kFileTimeTicksPerDay);
  EXPECT_TRUE(job.Filters.Exclusions.Excludes("C:\\Org\\a.tmp"));
}

TEST(PolicyProgramTest, SavingKeepsTheUsersOwnValuesWhichComeBackWhenThePolicyGoes) {
  PolicyEnv p;
  p.options().AddExclusion("*.pst");
  p.main().cbTempFoldersAndFiles->SetChecked(false);
  p.main().SaveSettings();
  const std::string file = p.File();
  for (const char* line : {"D=1\r\n", "LogFiles=1\r\n", "InternetCache=0\r\n", "MinAgeDays=3\r\n",
                           "TempFoldersAndFiles=0\r\n", "Item1=C:\\Mine\r\nItem2=*.pst\r\n"})
    EXPECT_NE(file.find(line), std::string::npos) << line << "\n" << file;
  EXPECT_EQ(file.find("Org"), std::string::npos) << file;
  p.main().cbRecycleBin->SetChecked(false);  // a change of this session, not yet saved

  // The policy goes; the next run reads it afresh and shows the user's own again.
  p.env.fake.registry.keys.clear();
  p.main().RefreshPolicy();
  EXPECT_TRUE(p.main().cbLogFiles->Checked());
  EXPECT_TRUE(p.main().cbLogFiles->Enabled());
  EXPECT_FALSE(p.main().cbInternetCache->Checked());
  EXPECT_FALSE(p.main().cbTempFoldersAndFiles->Checked());
  EXPECT_FALSE(p.main().cbRecycleBin->Checked()) << "the user's change of this session stays";
  EXPECT_TRUE(p.options().lvDisks->Item(1)->Checked());
  EXPECT_TRUE(p.options().lvDisks->Enabled());
  EXPECT_EQ(p.options().editMinAge->Text(), "3");
  EXPECT_EQ(p.options().Exclusions(), (std::vector<std::string>{"C:\\Mine", "*.pst"}));
  EXPECT_EQ(p.options().lvExclusions->Count(), 2);
  EXPECT_FALSE(p.options().lbPolicyNote->Visible());
}

TEST(PolicyProgramTest, TheUpdateCheckPolicyWinsOverTheFile) {
  for (const bool forced : {false, true}) {
    TestEnv env(false);
    env.fake.files.AddFileWithContent(kSettingsFile, forced ? "" : "[Update]\r\nCheckAtStart=1\r\n");
    env.fake.registry.keys[kUser]["CheckForUpdates"] = Number(forced ? 1 : 0);
    env.CreateForms();
    env.ShowMainWindow();
    EXPECT_EQ(env.forms.frmMain->FCheckUpdatesAtStart, forced);
    EXPECT_EQ(env.fake.http.agents.size(), forced ? 1u : 0u);
  }
}

}  // namespace
