// The Run-key entry on its own, and as "Autostart with Windows" shows it through load and OK.
#include "settings/autostart.h"

#include <gtest/gtest.h>

#include "app/dlgMain.h"
#include "settings/dlgOptions.h"
#include "tests/support/test_env.h"

namespace {

const std::string kRunKey = std::string("HKCU\\") + kRunKeyPath;
constexpr const char* kName = "Clutterix";

class AutostartTest : public ::testing::Test {
 protected:
  AutostartTest() { registry.keys[kRunKey]; }
  std::map<std::string, FakeRegistry::Value>& run() { return registry.keys[kRunKey]; }
  FakeRegistry registry;
};

TEST_F(AutostartTest, OnlyANonEmptyStringCountsAsRegistered) {
  EXPECT_FALSE(IsAutostartRegistered(registry, kName));
  run()[kName] = {platform::ValueKind::kString, ""};
  EXPECT_FALSE(IsAutostartRegistered(registry, kName));
  run()[kName] = {platform::ValueKind::kString, "C:\\Elsewhere\\other.exe /quiet"};
  EXPECT_TRUE(IsAutostartRegistered(registry, kName));
  run()[kName] = {platform::ValueKind::kOther, ""};
  EXPECT_FALSE(IsAutostartRegistered(registry, kName));
  // The key is opened by the exact text, trailing backslash included, and closed again.
  EXPECT_EQ(registry.opened.back(), kRunKey);
  EXPECT_EQ(registry.flushes, 4);
}

// Quoted, so that Windows never takes "C:\Program" for the program of a path with spaces.
TEST_F(AutostartTest, EnableReplacesAnyValueWithTheQuotedPathCutTo255Characters) {
  run()[kName] = {platform::ValueKind::kString, "C:\\Elsewhere\\other.exe"};
  SetAutostart(registry, kName, "C:\\Program Files\\Clutterix\\clutterix.exe", true);
  EXPECT_EQ(run()[kName].text, "\"C:\\Program Files\\Clutterix\\clutterix.exe\"");

  const std::string long_path = "C:\\" + std::string(292, 'x') + ".exe";
  ASSERT_EQ(long_path.size(), 299u);
  SetAutostart(registry, kName, long_path, true);
  EXPECT_EQ(run()[kName].text, "\"" + long_path.substr(0, 253) + "\"");
  EXPECT_EQ(run()[kName].kind, platform::ValueKind::kString);
}

TEST_F(AutostartTest, DisableRemovesAnyValueAndAMissingOneIsFine) {
  run()[kName] = {platform::ValueKind::kOther, ""};
  run()["Other"] = {platform::ValueKind::kString, "x"};
  SetAutostart(registry, kName, "C:\\a.exe", false);
  EXPECT_EQ(run().count(kName), 0u);
  SetAutostart(registry, kName, "C:\\a.exe", false);
  EXPECT_EQ(run().count("Other"), 1u);
}

TEST_F(AutostartTest, AMissingRunKeyIsNeverCreated) {
  registry.keys.clear();
  SetAutostart(registry, kName, "C:\\a.exe", true);
  EXPECT_FALSE(IsAutostartRegistered(registry, kName));
  EXPECT_TRUE(registry.keys.empty());
}

// Through the program: the box mirrors the registry at every load and writes it at every save.
struct AutostartEnv {
  explicit AutostartEnv(const char* settings = nullptr) {
    env.fake.registry.keys[kRunKey];
    if (settings)
      env.fake.files.AddFileWithContent(
          "C:\\Documents and Settings\\User\\Local Settings\\Application Data\\Torvex Clutterix\\general.conf",
          settings);
    env.CreateForms();
  }
  std::map<std::string, FakeRegistry::Value>& run() { return env.fake.registry.keys[kRunKey]; }
  TfrmOptions& options() { return *env.forms.frmOptions; }
  TestEnv env{false};
};

TEST(AutostartSettingsTest, ANonStringValueLoadsUncheckedAndTheRestStillLoads) {
  AutostartEnv a("[Scan]\r\nAutoStartScan=1\r\nWUBackup=0\r\n");
  a.run()[kName] = {platform::ValueKind::kOther, ""};
  a.env.forms.frmMain->Show();
  EXPECT_FALSE(a.options().cbAutostart->Checked());
  EXPECT_TRUE(a.options().cbStartScanAuto->Checked());
  EXPECT_FALSE(a.env.forms.frmMain->cbWUBackup->Checked());
  EXPECT_TRUE(a.env.backend.errors.empty());
}

TEST(AutostartSettingsTest, EverySaveRewritesOrDeletesTheEntry) {
  AutostartEnv a;
  a.run()[kName] = {platform::ValueKind::kString, "C:\\Elsewhere\\other.exe"};
  a.env.forms.frmMain->Show();
  EXPECT_TRUE(a.options().cbAutostart->Checked());
  a.env.forms.frmMain->SaveSettings();
  EXPECT_EQ(a.run()[kName].text, "\"" + std::string(TestEnv::kExeFolder) + "clutterix.exe\"");
  a.options().cbAutostart->SetChecked(false);
  a.env.forms.frmMain->SaveSettings();
  EXPECT_EQ(a.run().count(kName), 0u);
}

TEST(AutostartSettingsTest, ARefusedWriteClosesTheDialogSilentlyAndShowsUnchecked) {
  AutostartEnv a;
  a.env.fake.registry.refuse_writes = true;
  a.env.forms.frmMain->Show();
  a.env.backend.responders["frmOptions"] = [](ui::TForm& form) {
    auto& options = static_cast<TfrmOptions&>(form);
    options.cbAutostart->UserToggled(true);
    options.btnOK->DoClick();
    return ui::TModalResult::mrNone;
  };
  EXPECT_EQ(a.options().ShowModal(), ui::TModalResult::mrOk);
  EXPECT_TRUE(a.env.backend.errors.empty());
  EXPECT_FALSE(a.options().cbAutostart->Checked());
  EXPECT_EQ(a.run().count(kName), 0u);
}

}  // namespace
