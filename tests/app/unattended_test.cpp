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
                                                                {"/auto", "/json", "a", "/json", "b"}}) {
    const TCommandLine line = ParseCommandLine(args);
    EXPECT_NE(line.Error, "") << testing::PrintToString(args);
    EXPECT_EQ(line.Mode, TRunMode::kWindow) << testing::PrintToString(args);
    EXPECT_EQ(line.JsonFile, "") << testing::PrintToString(args);
  }
  const TCommandLine both = ParseCommandLine({"/scan", "-Json", "C:\\s.json", "/report", "r.csv"});
  EXPECT_EQ(both.JsonFile, "C:\\s.json");
  EXPECT_EQ(both.ReportFile, "r.csv");
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

}  // namespace
