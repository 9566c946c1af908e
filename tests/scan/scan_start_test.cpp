// Starting a scan on the whole program over test doubles: the job that reaches the worker (seen
// through what the scan finds), the scanning state, and a start that fails at a folder lookup.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/dlgMain.h"
#include "ini/mem_ini_file.h"
#include "settings/dlgOptions.h"
#include "tests/support/test_env.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

namespace {

class ScanStartTest : public ::testing::Test {
 protected:
  ScanStartTest() {
    env.fake.shell.special_folders = {{platform::kCsidlRecent, "C:\\Recent"},
                                      {platform::kCsidlLocalAppData, "C:\\Local"},
                                      {platform::kCsidlInternetCache, "C:\\Cache"}};
    env.fake.files.SetWindowsDirectory("C:\\WIN");
    for (ui::TCheckBox* box : Categories()) box->SetChecked(true);
    Disks({{"C", true}});
  }

  TfrmMain& main() { return *env.forms.frmMain; }
  TfrmOptions& options() { return *env.forms.frmOptions; }
  std::vector<ui::TCheckBox*> Categories() {
    TfrmMain& m = main();
    return {m.cbRecycleBin, m.cbTempFoldersAndFiles, m.cbInternetCache, m.cbLogFiles, m.cbImgCaches, m.cbWUBackup};
  }

  void Rules(const std::string& text) {
    env.fake.files.AddFileWithContent("C:\\rules.cxtraces", text);
    main().FTraceDefinitions = std::make_unique<TMemIniFile>(env.fake.files, "C:\\rules.cxtraces");
  }
  void Disks(const std::vector<std::pair<std::string, bool>>& rows) {
    options().lvDisks->Clear();
    for (const auto& [letter, ticked] : rows) {
      ui::TListItem* row = options().lvDisks->Add();
      row->SetCaption(letter);
      row->SetChecked(ticked);
    }
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> captions;
    for (int i = 0; i < main().lvFound->Count(); ++i) captions.push_back(main().lvFound->Item(i)->Caption());
    return captions;
  }
  std::vector<std::string> ScanToTheEnd() {
    main().btnStartClick(main().btnStart);
    env.main_thread.PumpUntilIdle();
    return Rows();
  }

  TestEnv env;
};

TEST_F(ScanStartTest, StartClearsOldResultsAndEntersTheScanningStateUntilTheFinish) {
  Rules("[t]\nLevel=Temp\nPath=%APPLOCAL%\\Temp\nType=0\n");
  env.fake.files.AddFile("C:\\Local\\Temp\\a.tmp", 5000);
  TfrmMain& m = main();
  m.lvFound->Add()->SetCaption("C:\\old");

  m.btnStartClick(m.btnStart);
  // The worker waits for its first report to be taken, so this is the state right after the start.
  EXPECT_EQ(m.lvFound->Count(), 0);
  ASSERT_NE(m.FScan, nullptr);
  EXPECT_THAT(m.FScan->FoundPaths(), IsEmpty());
  EXPECT_TRUE(m.FScan->WorkerRunning());
  EXPECT_FALSE(m.btnStart->Enabled());
  EXPECT_TRUE(m.btnCancel->Enabled());
  EXPECT_TRUE(m.execTimer->Enabled());
  EXPECT_FALSE(m.TrayIcon1->Visible());
  EXPECT_TRUE(m.TrayIcon2->Visible());
  EXPECT_TRUE(m.TrayIcon2->Animate());
  EXPECT_EQ(m.TrayIcon2->Icons(), m.ilScanning);
  EXPECT_FALSE(m.imgStart->Visible());
  EXPECT_TRUE(m.lvFound->Visible());
  EXPECT_TRUE(m.lbCurrentPath->Visible());
  EXPECT_EQ(m.lbBinsFound->Caption(), "0 ( 0 )");
  EXPECT_EQ(m.lbBinsSize->Caption(), "0 MB");
  m.TimerTicks = 7;

  env.main_thread.PumpUntilIdle();
  EXPECT_THAT(Rows(), ElementsAre("C:\\Local\\Temp\\a.tmp"));
  EXPECT_FALSE(m.FScan->WorkerRunning());
  EXPECT_TRUE(m.btnStart->Enabled());
  EXPECT_FALSE(m.btnCancel->Enabled());
  EXPECT_FALSE(m.execTimer->Enabled());
  EXPECT_EQ(m.TimerTicks, 0);
  EXPECT_TRUE(m.TrayIcon1->Visible());
  EXPECT_FALSE(m.TrayIcon2->Visible());
  EXPECT_FALSE(m.TrayIcon2->Animate());
  EXPECT_TRUE(m.btnCleanAll->Visible());
  EXPECT_TRUE(m.btnCleanAll->Enabled());
  ASSERT_EQ(env.backend.balloons.size(), 1u);
  EXPECT_EQ(env.backend.balloons[0].text, "Scan finished. \n\r1 garbage objects found.");
  EXPECT_EQ(env.backend.balloons[0].flags, ui::TBalloonFlags::bfInfo);
}

TEST_F(ScanStartTest, EachBoxSelectsItsCategoryAndEachPlaceholderItsFolder) {
  Rules(
      "[bin]\nLevel=Recycle\nPath=\\Bin\nType=0\n"
      "[cache]\nLevel=Internet Cache\nPath=%IEINETCACHE%\nType=0\n"
      "[recent]\nLevel=Internet Cache\nPath=%applocal%\nTemplate=*.url\nType=0\n"
      "[temp]\nLevel=Temp\nPath=%RECENTDIR%\\Temp\nType=0\n"
      "[thumbs]\nLevel=Images Databases\nPath=\\Img\nType=0\n"
      "[logs]\nLevel=Logs\nPath=\\Logs\nType=0\n"
      "[wu]\nLevel=Windows Installer Backups\nPath=%WINDOWSDIR%\\Download\nType=0\n");
  env.fake.files.AddDrive('D');
  env.fake.files.AddDrive('E');
  for (const char* path :
       {"C:\\Bin\\r", "D:\\Bin\\r", "E:\\Bin\\r", "C:\\Cache\\c", "C:\\Recent\\news.url", "C:\\Recent\\letter.lnk",
        "C:\\Local\\Temp\\t", "C:\\Img\\i", "E:\\Logs\\l", "C:\\WIN\\Download\\w"})
    env.fake.files.AddFile(path, 5000);
  Disks({{"C", true}, {"D", false}, {"E", true}});

  main().cbLogFiles->SetChecked(false);
  EXPECT_THAT(ScanToTheEnd(), UnorderedElementsAre("C:\\Bin\\r", "E:\\Bin\\r", "C:\\Cache\\c", "C:\\Recent\\news.url",
                                                   "C:\\Local\\Temp\\t", "C:\\Img\\i", "C:\\WIN\\Download\\w"));

  for (ui::TCheckBox* box : Categories()) box->SetChecked(box == main().cbLogFiles);
  EXPECT_THAT(ScanToTheEnd(), ElementsAre("E:\\Logs\\l"));
}

// custom.cxtraces beside general.conf adds the user's own rules, read afresh at every start, in
// the ticked categories only and under the same guard of what users keep.
TEST_F(ScanStartTest, TheUsersOwnRulesServeTheTickedCategoriesUnderTheSameGuard) {
  Rules("[logs]\nLevel=Logs\nPath=\\Logs\nType=0\n");
  for (const char* path : {"C:\\Logs\\l", "C:\\Local\\Tool\\cache\\x", "C:\\Local\\Tool\\settings.ini", "C:\\Mine\\m"})
    env.fake.files.AddFile(path, 5000);
  EXPECT_THAT(ScanToTheEnd(), ElementsAre("C:\\Logs\\l"));

  env.fake.files.AddFileWithContent(main().FSettingsFolder + "custom.cxtraces",
                                    "[mine]\nLevel=Temp\nPath=%LOCALAPPDATA%\\Tool\\cache\nType=0\n"
                                    "[careless]\nLevel=Temp\nPath=%LOCALAPPDATA%\nTemplate=*\n"
                                    "[unticked]\nLevel=Recycle\nPath=\\Mine\nType=0\n");
  main().cbRecycleBin->SetChecked(false);
  EXPECT_THAT(ScanToTheEnd(), UnorderedElementsAre("C:\\Logs\\l", "C:\\Local\\Tool\\cache\\x"));
}

TEST_F(ScanStartTest, AScanWithNothingToSearchStillFinishes) {
  Rules("[bin]\nLevel=Recycle\nPath=\\Bin\nType=0\n[wu]\nLevel=Windows Installer Backups\nPath=C:\\Bin\nType=0\n");
  env.fake.files.AddFile("C:\\Bin\\r", 5000);

  Disks({{"C", false}});  // no disk ticked: not even the drive-qualified rule is searched
  EXPECT_THAT(ScanToTheEnd(), IsEmpty());
  Disks({{"C", true}});
  for (ui::TCheckBox* box : Categories()) box->SetChecked(false);
  EXPECT_THAT(ScanToTheEnd(), IsEmpty());
  for (ui::TCheckBox* box : Categories()) box->SetChecked(true);
  main().FTraceDefinitions.reset();  // no trace file beside the program
  EXPECT_THAT(ScanToTheEnd(), IsEmpty());

  ASSERT_EQ(env.backend.balloons.size(), 3u);
  for (const auto& balloon : env.backend.balloons)
    EXPECT_EQ(balloon.text, "Scan finished. \n\r0 garbage objects found.");
  EXPECT_TRUE(main().btnStart->Enabled());
  EXPECT_THAT(env.backend.errors, IsEmpty());
}

TEST_F(ScanStartTest, AnUnresolvableFolderIsReportedAndLeavesTheWindowReadyForAnotherStart) {
  Rules("[bin]\nLevel=Recycle\nPath=\\Bin\nType=0\n[cache]\nLevel=Internet Cache\nPath=\\Cache\nType=0\n");
  env.fake.files.AddFile("C:\\Bin\\r", 5000);
  env.fake.shell.special_folders.erase(platform::kCsidlInternetCache);
  TfrmMain& m = main();
  m.TrayIcon1->SetVisible(true);  // as after an earlier scan

  m.btnStartClick(m.btnStart);
  EXPECT_THAT(env.backend.errors, ElementsAre("SHGetPathFromIDList failed : invalid pidl"));
  EXPECT_EQ(m.FScan, nullptr);
  EXPECT_EQ(env.main_thread.live_workers(), 0);
  EXPECT_TRUE(m.btnStart->Enabled());
  EXPECT_FALSE(m.btnCancel->Enabled());
  EXPECT_FALSE(m.execTimer->Enabled());
  EXPECT_FALSE(m.TrayIcon2->Visible());
  EXPECT_FALSE(m.TrayIcon2->Animate());
  EXPECT_TRUE(m.TrayIcon1->Visible());
  EXPECT_TRUE(m.imgStart->Visible());
  EXPECT_TRUE(m.cbRecycleBin->Visible());
  EXPECT_FALSE(m.lvFound->Visible());
  EXPECT_FALSE(m.btnCancel->Visible());
  env.main_thread.PumpUntilIdle();
  EXPECT_THAT(env.backend.balloons, IsEmpty());

  env.fake.shell.special_folders[platform::kCsidlInternetCache] = "C:\\Cache";
  EXPECT_THAT(ScanToTheEnd(), ElementsAre("C:\\Bin\\r"));
  EXPECT_EQ(env.backend.errors.size(), 1u);
}

}  // namespace
