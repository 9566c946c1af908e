// Creating, showing and closing the main window: the documents chosen by the Windows release, the
// version gate, and what a refused or early close leaves of the user's data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dlgMain.h"
#include "clean/dlgAlert.h"
#include "ini/mem_ini_file.h"
#include "settings/dlgOptions.h"
#include "tests/support/test_env.h"

namespace {

const std::string kSettingsFolder =
    "C:\\Documents and Settings\\User\\Local Settings\\Application Data\\Torvex Clutterix\\";

struct Release {
  platform::VersionInfo version;
  bool supported;
  const char* trace_file;  // chosen at creation; nullptr for none
};

std::string Describe(const Release& r) {
  return std::to_string(r.version.platform_id) + "." + std::to_string(r.version.major) + "." +
         std::to_string(r.version.minor) + " '" + r.version.csd_version + "'";
}

const std::vector<Release> kReleases = {
    {{1, 4, 0, ""}, false, nullptr},                // 95
    {{1, 4, 10, ""}, false, nullptr},               // 98
    {{1, 4, 10, " A "}, false, nullptr},            // 98 SE
    {{1, 4, 90, ""}, false, nullptr},               // Me
    {{2, 4, 0, "Service Pack 6"}, false, nullptr},  // NT 4
    {{2, 5, 0, "Service Pack 4"}, false, nullptr},  // 2000
    {{2, 5, 1, "Service Pack 3"}, true, "xpgarbage.cxtraces"},
    {{2, 5, 2, "Service Pack 2"}, false, nullptr},  // Server 2003, XP x64
    {{2, 6, 0, "Service Pack 2"}, true, "vistagarbage.cxtraces"},
    {{2, 6, 1, "Service Pack 1"}, true, "vistagarbage.cxtraces"},  // Windows 7
};

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() : env(false) {
    // An administrator, so that the rights warning stays out of the way.
    env.fake.security.process_groups = std::vector<platform::TokenGroup>{{FakeSecurity::AdministratorsSid(), 0}};
  }
  TfrmMain& main() { return *env.forms.frmMain; }
  TestEnv env;
};

TEST_F(StartupTest, CreationOpensTheDocumentsOfTheRelease) {
  for (const Release& r : kReleases) {
    TestEnv e(false);
    e.fake.system.version = r.version;
    e.CreateForms();
    TfrmMain& m = *e.forms.frmMain;
    EXPECT_EQ(m.FExeFolder, TestEnv::kExeFolder) << Describe(r);
    EXPECT_EQ(m.FSettingsFolder, kSettingsFolder) << Describe(r);
    EXPECT_TRUE(e.fake.files.FolderExists(kSettingsFolder)) << Describe(r);
    ASSERT_TRUE(m.FSettings) << Describe(r);
    EXPECT_EQ(m.FSettings->FileName(), kSettingsFolder + "general.conf");
    if (r.trace_file) {
      ASSERT_TRUE(m.FTraceDefinitions) << Describe(r);
      EXPECT_EQ(m.FTraceDefinitions->FileName(), std::string(TestEnv::kExeFolder) + "config\\" + r.trace_file);
      EXPECT_FALSE(m.FTraceDefinitions->ReadSections().empty()) << "the shipped rules are read";
    } else {
      EXPECT_FALSE(m.FTraceDefinitions) << Describe(r);
    }
    EXPECT_EQ(m.TimerTicks, 0);
    EXPECT_TRUE(m.DoubleBuffered);
    EXPECT_TRUE(m.panelHint->DoubleBuffered);
    EXPECT_FALSE(m.FSettingsLoaded);
    EXPECT_TRUE(e.backend.errors.empty()) << Describe(r) << ": " << e.backend.errors.front();
  }
}

TEST_F(StartupTest, VersionGateRefusesEveryReleaseButXpAndVistaAndWritesNothing) {
  for (const Release& r : kReleases) {
    TestEnv e(false);
    e.fake.security.process_groups = std::vector<platform::TokenGroup>{{FakeSecurity::AdministratorsSid(), 0}};
    e.fake.system.version = r.version;
    // The user's settings and autostart entry from an earlier run on another release.
    e.fake.files.AddFileWithContent(kSettingsFolder + "general.conf", "[Scan]\nRecycleBin=0\nAutoStartScan=1\n");
    const std::string run_key = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
    e.fake.registry.keys[run_key]["Clutterix"] = {platform::ValueKind::kString, "C:\\old\\clutterix.exe"};
    e.CreateForms();
    const auto files_before = e.fake.files.ListTree("C:\\");
    e.ShowMainWindow();
    TfrmMain& m = *e.forms.frmMain;
    TfrmAlert& alert = *e.forms.frmAlert;

    if (r.supported) {
      EXPECT_TRUE(e.backend.modal_forms.empty()) << Describe(r);
      EXPECT_TRUE(m.Visible()) << Describe(r);
      EXPECT_FALSE(e.backend.terminated) << Describe(r);
      EXPECT_TRUE(m.FSettingsLoaded) << Describe(r);
      EXPECT_EQ(e.fake.security.open_as_self_args.size(), 1u) << "start-up checks ran, " << Describe(r);
      EXPECT_GE(e.fake.system.trims, 1) << Describe(r);
      continue;
    }
    ASSERT_EQ(e.backend.modal_forms, (std::vector<std::string>{"frmAlert"})) << Describe(r);
    EXPECT_EQ(alert.Caption(), "Wrong Windows Version");
    EXPECT_EQ(alert.lbCaption->Caption(), "Unsupported Windows Version!");
    const std::string lead =
        "Clutterix supported XP and Vista versions only.\n\n\rIf you need to add supporting of you version of "
        "Windows contact us at: ";
    const std::string& message = alert.lbMessage->Caption();
    EXPECT_EQ(message.substr(0, lead.size()), lead);
    EXPECT_GT(message.size(), lead.size() + 1);
    EXPECT_NE(message.find('@', lead.size()), std::string::npos) << message;
    EXPECT_EQ(message.back(), '.');

    EXPECT_TRUE(e.backend.terminated) << Describe(r);
    EXPECT_FALSE(m.Visible()) << Describe(r);
    EXPECT_TRUE(m.FStartRefused);
    EXPECT_FALSE(m.FSettingsLoaded);
    EXPECT_TRUE(e.fake.security.open_as_self_args.empty()) << "no start-up checks on a refused start";
    EXPECT_EQ(e.fake.files.ListTree("C:\\"), files_before) << Describe(r);
    EXPECT_EQ(e.fake.files.Content(kSettingsFolder + "general.conf"), "[Scan]\nRecycleBin=0\nAutoStartScan=1\n");
    ASSERT_EQ(e.fake.registry.keys[run_key].count("Clutterix"), 1u) << Describe(r);
    EXPECT_EQ(e.fake.registry.keys[run_key]["Clutterix"].text, "C:\\old\\clutterix.exe");
    EXPECT_TRUE(e.fake.http.requests.empty());
  }
}

TEST_F(StartupTest, RefusedStartNeverScansEvenWhenTheStartupCheckArrives) {
  env.fake.system.version = platform::VersionInfo{2, 5, 2, ""};
  env.CreateForms();
  int scans = 0;
  main().btnStart->OnClick = [&](ui::TControl*) { ++scans; };
  if (env.forms.frmOptions->cbStartScanAuto) env.forms.frmOptions->cbStartScanAuto->SetChecked(true);
  env.ShowMainWindow();
  ASSERT_TRUE(main().FStartRefused);
  main().HandleMessage(WM_STARTUPCHECKS);
  EXPECT_EQ(scans, 0);
}

TEST_F(StartupTest, ShowLoadsTrimsAndPostsTheChecksWithoutANetworkRequest) {
  env.CreateForms();
  const int trims = env.fake.system.trims;
  main().Show();
  EXPECT_EQ(env.fake.system.trims, trims + 1);
  EXPECT_TRUE(main().FSettingsLoaded);
  ASSERT_EQ(env.backend.posted.size(), 1u);
  EXPECT_EQ(env.backend.posted[0].form, &main());
  EXPECT_EQ(env.backend.posted[0].message, 1424u);
  EXPECT_TRUE(env.fake.security.open_as_self_args.empty()) << "the checks wait for the message loop";
  env.backend.DeliverPosted();
  EXPECT_EQ(env.fake.security.open_as_self_args.size(), 1u);
  EXPECT_TRUE(env.fake.http.requests.empty());
}

TEST_F(StartupTest, CloseBeforeTheSettingsWereLoadedWritesNothing) {
  env.fake.files.AddFileWithContent(kSettingsFolder + "general.conf", "[Scan]\nLogFiles=0\n");
  env.CreateForms();
  const auto files_before = env.fake.files.ListTree("C:\\");
  main().Close();
  EXPECT_TRUE(env.backend.terminated);
  EXPECT_EQ(env.fake.files.ListTree("C:\\"), files_before);
  EXPECT_EQ(env.fake.files.Content(kSettingsFolder + "general.conf"), "[Scan]\nLogFiles=0\n");
}

TEST_F(StartupTest, MissingPicturesAreReportedAndCreationCarriesOn) {
  for (const char* name : {"start_inactive.jpg", "settings.jpg"}) {
    env.fake.files.DeleteFile(std::string(TestEnv::kExeFolder) + "images\\" + name);
  }
  env.CreateForms();
  ASSERT_EQ(env.backend.errors.size(), 2u);
  EXPECT_NE(env.backend.errors[0].find("start_inactive.jpg"), std::string::npos) << env.backend.errors[0];
  EXPECT_NE(env.backend.errors[1].find("settings.jpg"), std::string::npos) << env.backend.errors[1];
  // The documents are open and the window still shows a usable settings page.
  EXPECT_TRUE(main().FSettings);
  EXPECT_TRUE(main().FTraceDefinitions);
  for (ui::TControl* c : std::vector<ui::TControl*>{main().cbRecycleBin, main().cbWUBackup, main().imgStart}) {
    EXPECT_TRUE(c->Visible()) << c->Name();
  }
  for (ui::TControl* c : std::vector<ui::TControl*>{main().lvFound, main().btnCancel, main().btnCleanAll}) {
    EXPECT_FALSE(c->Visible()) << c->Name();
  }
  env.ShowMainWindow();
  EXPECT_TRUE(main().Visible());
}

}  // namespace
