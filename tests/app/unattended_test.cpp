// Unattended runs: the command line, the report, and the whole run on the program over test
// doubles, from the saved settings to the exit code, with the window never shown.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/dlgMain.h"
#include "app/unattended_report.h"
#include "context/version.h"
#include "ini/mem_ini_file.h"
#include "tests/support/test_env.h"

namespace {

TEST(UnattendedTest, CommandLineTakesTheSwitchesInAnyOrderAndCaseAndRefusesEverythingElse) {
  struct Case {
    std::vector<std::string> args;
    TRunMode mode;
    std::string report;
  };
  for (const Case& c : std::vector<Case>{{{}, TRunMode::kWindow, ""},
                                         {{"/auto"}, TRunMode::kAuto, ""},
                                         {{"-AUTO", "/Report", "C:\\r.csv"}, TRunMode::kAuto, "C:\\r.csv"},
                                         {{"/report", "out.csv", "/scan"}, TRunMode::kScanOnly, "out.csv"},
                                         {{"/scan", "-Json", "s.json"}, TRunMode::kScanOnly, ""}}) {
    const TCommandLine line = ParseCommandLine(c.args);
    EXPECT_EQ(line.Error, "") << testing::PrintToString(c.args);
    EXPECT_EQ(line.Mode, c.mode) << testing::PrintToString(c.args);
    EXPECT_EQ(line.ReportFile, c.report) << testing::PrintToString(c.args);
  }
  for (const auto& args : std::vector<std::vector<std::string>>{{"/report"},
                                                                {"/auto", "/report"},
                                                                {"/auto", "/report", "/scan"},
                                                                {"/report", "r.csv"},
                                                                {"/auto", "/scan"},
                                                                {"/auto", "/auto"},
                                                                {"/clean"},
                                                                {"auto"},
                                                                {"/"},
                                                                {"/json", "s.json"},
                                                                {"/auto", "/json"},
                                                                {"/auto", "/json", "a", "/json", "b"},
                                                                {"/allusers"},
                                                                {"/report", "r.csv", "/allusers"}}) {
    const TCommandLine line = ParseCommandLine(args);
    EXPECT_NE(line.Error, "") << testing::PrintToString(args);
    EXPECT_EQ(line.Mode, TRunMode::kWindow) << testing::PrintToString(args);
    EXPECT_EQ(line.JsonFile, "") << testing::PrintToString(args);
  }
  const TCommandLine both = ParseCommandLine({"/scan", "-Json", "C:\\s.json", "/report", "r.csv"});
  EXPECT_EQ(both.JsonFile, "C:\\s.json");
  EXPECT_EQ(both.ReportFile, "r.csv");
  EXPECT_FALSE(both.AllUsers);
  EXPECT_TRUE(ParseCommandLine({"/AllUsers", "/auto"}).AllUsers);
  EXPECT_NE(UsageText("x").find("/auto [/report FILE] [/json FILE]"), std::string::npos);
}

TEST(UnattendedTest, ReportNamesEachObjectsCategoryAndQuotesWhatCsvNeeds) {
  TScanJob job;
  job.Paths = {"C:\\Temp", "\\Logs", "C:\\Temp"};
  job.Templates = {"*.tmp", "*.log", "*"};
  job.SearchRules = {"0", "1", "0"};
  job.Categories = {kCategoryTemp, kCategoryLogs, kCategoryImagesDatabases};
  EXPECT_EQ(TUnattendedReport::CategoryOf(job, "C:\\Temp\\a.TMP"), "Temp Folders");
  EXPECT_EQ(TUnattendedReport::CategoryOf(job, "D:\\Logs\\deep\\x.log"), "Old Log Files");
  EXPECT_EQ(TUnattendedReport::CategoryOf(job, "C:\\Temp\\Thumbs.db"), "Old Image Thumbnails");
  EXPECT_EQ(TUnattendedReport::CategoryOf(job, "C:\\Temp\\sub\\a.tmp"), "");

  TUnattendedReport report;
  EXPECT_EQ(report.ExitCode(true), 1);
  report.Add("C:\\Temp\\a,\"b\".tmp", 5000, "Temp Folders", true);
  report.Add("C:\\Temp\\tiny.tmp", 10, "Temp Folders", false);
  EXPECT_EQ(report.ExitCode(false), 0);
  EXPECT_EQ(report.ExitCode(true), 2) << "listed and never cleaned";
  report.SetOutcome("c:\\temp\\A,\"B\".TMP", "File Deleted");
  EXPECT_EQ(report.ExitCode(true), 0) << "what is below the noise level is no failure";
  report.SetRunningBrowsers({"Mozilla Firefox"});
  EXPECT_EQ(report.Csv(),
            "path,bytes,category,outcome\r\n"
            "\"C:\\Temp\\a,\"\"b\"\".tmp\",5000,Temp Folders,File Deleted\r\n"
            "C:\\Temp\\tiny.tmp,10,Temp Folders,Below Noise Level\r\n"
            "Mozilla Firefox,,Running browser,Left running\r\n");
}

class UnattendedRunTest : public ::testing::Test {
 protected:
  UnattendedRunTest() {
    env.fake.shell.special_folders = {{platform::kCsidlRecent, "C:\\Recent"},
                                      {platform::kCsidlLocalAppData, "C:\\Local"},
                                      {platform::kCsidlInternetCache, "C:\\Cache"},
                                      {platform::kCsidlProfile, "C:\\Users\\Anna"}};
    env.fake.files.AddFileWithContent(
        "C:\\rules.cxtraces",
        "[T]\r\nLevel=Temp\r\nPath=C:\\Temp\r\nTemplate=*.tmp\r\nType=0\r\n"
        "[L]\r\nLevel=Logs\r\nPath=\\Logs\r\nTemplate=*.log\r\nType=0\r\nSearchRule=1\r\n");
    main().FTraceDefinitions = std::make_unique<TMemIniFile>(env.fake.files, "C:\\rules.cxtraces");
  }
  TfrmMain& main() { return *env.forms.frmMain; }
  // Runs to the end, as the message loop would, noting each tray hint shown on the way.
  void Run(TRunMode mode, bool another_instance = false) {
    main().RunUnattended({mode, "C:\\report.csv", "", "C:\\summary.json"}, another_instance);
    env.main_thread.PumpUntil([&] {
      const ui::TTrayIcon& tray = *main().TrayIcon2;
      if (tray.Visible() && (tray_hints.empty() || tray_hints.back() != tray.Hint())) tray_hints.push_back(tray.Hint());
      return false;
    });
    ASSERT_TRUE(env.app.Terminated());
  }
  std::vector<std::string> tray_hints;
  TestEnv env;
};

TEST_F(UnattendedRunTest, AutoCleansWhatIsListedLeavesBrowsersRunningAndReportsEveryObject) {
  env.fake.files.AddFile("C:\\Temp\\a.tmp", 5000);
  env.fake.files.AddFile("C:\\Temp\\in-use.tmp", 6000);
  env.fake.files.Lock("C:\\Temp\\in-use.tmp");
  env.fake.files.AddFile("C:\\Temp\\tiny.tmp", 10);
  env.fake.files.AddFile("C:\\Logs\\x\\b.log", 7000);
  env.fake.processes.running = {{7, "firefox.exe", "firefox.exe"}};
  Run(TRunMode::kAuto);
  EXPECT_EQ(env.app.ExitCode(), kExitSomeFailed);
  EXPECT_EQ(env.fake.files.Content("C:\\report.csv"),
            "path,bytes,category,outcome\r\n"
            "C:\\Logs\\x\\b.log,7000,Old Log Files,File Deleted\r\n"
            "C:\\Temp\\a.tmp,5000,Temp Folders,File Deleted\r\n"
            "C:\\Temp\\in-use.tmp,6000,Temp Folders,Cannot Delete\r\n"
            "C:\\Temp\\tiny.tmp,10,Temp Folders,Below Noise Level\r\n"
            "Mozilla Firefox,,Running browser,Left running\r\n");
  EXPECT_TRUE(env.fake.processes.terminated.empty());
  EXPECT_TRUE(env.fake.files.Exists("C:\\Temp\\tiny.tmp"));
  // The Event Log hears of the start, of what was left and of the end.
  const auto& events = env.fake.events.written;
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].id, platform::kEventRunStarted);
  EXPECT_EQ(events[0].text, "Clutterix " CX_VERSION_TEXT ": an unattended run started (auto).");
  EXPECT_EQ(events[1].id, platform::kEventItemsLeft);
  EXPECT_EQ(events[1].kind, platform::EventKind::kWarning);
  EXPECT_EQ(events[1].text, "Clutterix could not clean 1 item:\r\nC:\\Temp\\in-use.tmp: Cannot Delete");
  EXPECT_EQ(events[2].id, platform::kEventRunEnded);
  EXPECT_EQ(events[2].kind, platform::EventKind::kWarning);
  for (const char* line : {"exit code 2.", "Temp Folders: 3 found, 1 cleaned (5000 bytes), 1 left",
                           "Old Log Files: 1 found, 1 cleaned (7000 bytes), 0 left", "  Cannot Delete: 1",
                           "Left running: Mozilla Firefox"})
    EXPECT_NE(events[2].text.find(line), std::string::npos) << line << " in " << events[2].text;
  // The tray icon is all that shows of the run, and it counts the items off; then it goes.
  ASSERT_GE(tray_hints.size(), 2u);
  EXPECT_EQ(tray_hints.front(), "Clutterix: scanning");
  EXPECT_EQ(tray_hints.back(), "Clutterix: cleaning 3 of 3");
  EXPECT_FALSE(main().TrayIcon2->Visible());
  // Nothing was shown, and nothing of the settings was written.
  EXPECT_FALSE(main().Visible());
  EXPECT_TRUE(env.backend.errors.empty());
  main().Close();
  EXPECT_FALSE(env.fake.files.Exists(main().FSettingsFolder + "general.conf"));
}

TEST_F(UnattendedRunTest, ScanOnlyListsAndDeletesNothing) {
  env.fake.files.AddFile("C:\\Temp\\a.tmp", 5000);
  Run(TRunMode::kScanOnly);
  EXPECT_EQ(env.app.ExitCode(), kExitCleaned);
  EXPECT_TRUE(env.fake.files.Exists("C:\\Temp\\a.tmp"));
  EXPECT_EQ(env.fake.files.Content("C:\\report.csv"),
            "path,bytes,category,outcome\r\nC:\\Temp\\a.tmp,5000,Temp Folders,Listed\r\n");
  ASSERT_EQ(env.fake.events.written.size(), 2u) << "a scan leaves what it lists: no warning";
  EXPECT_EQ(env.fake.events.written[1].kind, platform::EventKind::kInformation);
  // Beside it the summary, with the run's facts and what was left listed.
  const std::string json = env.fake.files.Content("C:\\summary.json");
  for (const char* field : {"\"mode\": \"scan\"", "\"machine\": \"DESK-7\"", "\"profiles\": [\"C:\\\\Users\\\\Anna\"]",
                            "\"left\": {\"items\": 1, \"outcomes\": {\"Listed\": 1}}", "\"exitCode\": 0\n}"})
    EXPECT_NE(json.find(field), std::string::npos) << field << " in " << json;
}

TEST_F(UnattendedRunTest, AutoRefusesAnObjectReplacedSinceTheScan) {
  env.fake.files.AddFile("C:\\Temp\\a.tmp", 5000);
  bool replaced = false;
  env.fake.files.on_open_for_deletion = [&](const std::string& path) {
    if (replaced || path != "C:\\Temp\\a.tmp") return;
    replaced = true;  // another program's file by the same name, the one scanned gone
    env.fake.files.RemoveTree(path);
    env.fake.files.AddFile(path, 5000);
  };
  Run(TRunMode::kAuto);
  EXPECT_TRUE(replaced);
  EXPECT_TRUE(env.fake.files.Exists("C:\\Temp\\a.tmp"));
  EXPECT_EQ(env.app.ExitCode(), kExitSomeFailed);
}

TEST_F(UnattendedRunTest, NothingFoundAnotherInstanceAndAnUnsupportedReleaseEachHaveTheirCode) {
  Run(TRunMode::kAuto);
  EXPECT_EQ(env.app.ExitCode(), kExitNothingFound);
  EXPECT_EQ(env.fake.files.Content("C:\\report.csv"), "path,bytes,category,outcome\r\n");
  ASSERT_TRUE(env.fake.files.DeleteFile("C:\\report.csv"));

  TestEnv second;
  second.forms.frmMain->RunUnattended({TRunMode::kAuto, "C:\\report.csv", ""}, true);
  EXPECT_EQ(second.app.ExitCode(), kExitRefused);
  EXPECT_FALSE(second.fake.files.Exists("C:\\report.csv")) << "the other instance may be writing it";

  TestEnv old;
  old.fake.system.version = platform::VersionInfo{2, 5, 0, ""};
  old.forms.frmMain->RunUnattended({TRunMode::kScanOnly, "", ""}, false);
  EXPECT_EQ(old.app.ExitCode(), kExitRefused);
}

// /allusers: the rules that name a user's folders serve every user profile of the machine's list
// (service accounts left alone), each under the guard of what its user keeps; the machine's own
// folders are searched once. Only an elevated administrator may do so.
TEST(UnattendedAllUsers, CleansEveryProfileOfTheListAndNeedsAnElevatedAdministrator) {
  const auto plant = [](TestEnv& env) {
    env.fake.shell.special_folders = {{platform::kCsidlLocalAppData, "C:\\Users\\admin\\AppData\\Local"},
                                      {platform::kCsidlProfile, "C:\\Users\\admin"},
                                      {platform::kCsidlRecent, "C:\\Users\\admin\\Recent"},
                                      {platform::kCsidlInternetCache, "C:\\Users\\admin\\AppData\\Local\\INetCache"}};
    env.fake.files.AddFileWithContent(
        "C:\\rules.cxtraces",
        "[User Temp]\r\nLevel=Temp\r\nPath=%LOCALAPPDATA%\\Temp\r\nTemplate=*.tmp\r\nType=0\r\n"
        "[Machine Temp]\r\nLevel=Temp\r\nPath=C:\\Windows\\Temp\r\nType=0\r\n"
        "[Careless]\r\nLevel=Temp\r\nPath=%USERPROFILE%\\Documents\r\nType=0\r\n");
    env.forms.frmMain->FTraceDefinitions = std::make_unique<TMemIniFile>(env.fake.files, "C:\\rules.cxtraces");
    const std::string list = std::string("HKLM\\") + kProfileListKey;
    const auto profile = [&](const std::string& sid, const std::string& folder) {
      env.fake.registry.keys[list + "\\" + sid]["ProfileImagePath"] = {platform::ValueKind::kString, folder};
    };
    env.fake.registry.keys[list];
    profile("S-1-5-18", "%SystemRoot%\\system32\\config\\systemprofile");
    profile("S-1-5-21-7-1000", "%SystemDrive%\\Users\\anna");
    profile("S-1-5-21-7-1001", "D:\\Home\\bert\\");
    profile("S-1-5-21-7-1002.bak", "C:\\Old");
    env.fake.files.AddDrive('D');
    for (const char* path :
         {"C:\\Users\\anna\\AppData\\Local\\Temp\\a.tmp", "D:\\Home\\bert\\AppData\\Local\\Temp\\b.tmp",
          "C:\\Windows\\Temp\\w.tmp", "C:\\Users\\admin\\AppData\\Local\\Temp\\mine.tmp",
          "C:\\Windows\\system32\\config\\systemprofile\\AppData\\Local\\Temp\\s.tmp",
          "C:\\Old\\AppData\\Local\\Temp\\o.tmp", "C:\\Users\\anna\\Documents\\thesis.docx",
          "D:\\Home\\bert\\Documents\\notes.txt"})
      env.fake.files.AddFile(path, 5000);
  };
  const TCommandLine line{TRunMode::kAuto, "C:\\report.csv", "", "C:\\summary.json", true};

  // An administrator whose group only denies (not elevated) is refused, and nothing is touched.
  TestEnv user;
  plant(user);
  user.fake.security.process_groups = std::vector<platform::TokenGroup>{{FakeSecurity::AdministratorsSid(), 0x10}};
  user.forms.frmMain->RunUnattended(line, false);
  EXPECT_EQ(user.app.ExitCode(), kExitRefused);
  EXPECT_TRUE(user.fake.files.Exists("C:\\Users\\anna\\AppData\\Local\\Temp\\a.tmp"));
  ASSERT_FALSE(user.fake.events.written.empty());
  EXPECT_EQ(user.fake.events.written.back().kind, platform::EventKind::kError);
  EXPECT_NE(user.fake.events.written.back().text.find("administrator rights"), std::string::npos);

  TestEnv admin;
  plant(admin);
  admin.fake.security.process_groups = std::vector<platform::TokenGroup>{{FakeSecurity::AdministratorsSid(), 0x7}};
  admin.forms.frmMain->RunUnattended(line, false);
  admin.main_thread.PumpUntil([&] { return admin.app.Terminated(); });
  EXPECT_EQ(admin.app.ExitCode(), kExitCleaned);
  // Each listed user's temp files and the machine's, once; nobody's documents, and no profile
  // outside the list (the running account's, the system's, a backup entry's).
  EXPECT_EQ(admin.fake.files.Content("C:\\report.csv"),
            "path,bytes,category,outcome\r\n"
            "C:\\Users\\anna\\AppData\\Local\\Temp\\a.tmp,5000,Temp Folders,File Deleted\r\n"
            "C:\\Windows\\Temp\\w.tmp,5000,Temp Folders,File Deleted\r\n"
            "D:\\Home\\bert\\AppData\\Local\\Temp\\b.tmp,5000,Temp Folders,File Deleted\r\n")
      << admin.fake.files.Content("C:\\report.csv");
  for (const char* kept : {"C:\\Users\\admin\\AppData\\Local\\Temp\\mine.tmp", "C:\\Old\\AppData\\Local\\Temp\\o.tmp",
                           "C:\\Windows\\system32\\config\\systemprofile\\AppData\\Local\\Temp\\s.tmp",
                           "C:\\Users\\anna\\Documents\\thesis.docx", "D:\\Home\\bert\\Documents\\notes.txt"})
    EXPECT_TRUE(admin.fake.files.Exists(kept)) << kept;
  EXPECT_NE(admin.fake.files.Content("C:\\summary.json")
                .find("\"profiles\": [\"C:\\\\Users\\\\anna\", \"D:\\\\Home\\\\bert\"]"),
            std::string::npos)
      << admin.fake.files.Content("C:\\summary.json");
}

}  // namespace
