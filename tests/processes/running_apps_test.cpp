// The process functions and the running-applications check before a cleaning run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/dlgMain.h"
#include "processes/dlgStartedApps.h"
#include "processes/myprocessunit.h"
#include "tests/support/test_env.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

TEST(ProcessUnitTest, ListsEveryProcessInSnapshotOrderWithTheBestNameKnown) {
  FakeProcesses processes;
  processes.running = {
      {0, "[System Process]", ""},
      {8, "C:\\WINDOWS\\system32\\smss.exe", ""},  // cannot be opened: the snapshot's name serves
      {12, "EXPLORER.EXE", "Explorer.EXE"},
      {12, "EXPLORER.EXE", "Explorer.EXE"},
  };
  std::vector<TProcessEntry> list{{"stale", 1}};
  ASSERT_TRUE(ListRunningProcesses(processes, list));
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].Name, "System Idle Process");
  EXPECT_EQ(list[1].Name, "C:\\WINDOWS\\system32\\smss.exe");
  EXPECT_EQ(list[2].Name, "Explorer.EXE");
  EXPECT_EQ(list[2].ProcessId, 12u);

  processes.snapshot_available = false;
  EXPECT_FALSE(ListRunningProcesses(processes, list));
  EXPECT_THAT(list, IsEmpty());
}

TEST(ProcessUnitTest, TerminatesByExecutableNameIgnoringCase) {
  FakeProcesses processes;
  processes.running = {
      {10, "FireFox.EXE", "firefox.exe"},
      {11, "C:\\Program Files\\Mozilla Firefox\\firefox.exe", "firefox.exe"},
      {12, "notfirefox.exe", "notfirefox.exe"},
      {13, "firefox.exe", "firefox.exe", false},  // another user's: cannot be ended
  };
  EXPECT_FALSE(TerminateProcessesByName(processes, "firefox.exe"));  // the last attempt failed
  EXPECT_THAT(processes.terminated, ElementsAre(10u, 11u));
  EXPECT_FALSE(TerminateProcessesByName(processes, "opera.exe"));
  processes.snapshot_available = false;
  EXPECT_FALSE(TerminateProcessesByName(processes, "notfirefox.exe"));
}

class RunningAppsCheckTest : public ::testing::Test {
 protected:
  TfrmMain& main() { return *env.forms.frmMain; }
  TfrmStartedApps& dialog() { return *env.forms.frmStartedApps; }
  void AnswerWith(ui::TButton* TfrmStartedApps::*button) {
    env.backend.responders["frmStartedApps"] = [this, button](ui::TForm&) {
      (dialog().*button)->DoClick();
      return ui::TModalResult::mrNone;
    };
  }

  TestEnv env;
};

TEST_F(RunningAppsCheckTest, NoWatchedApplicationMeansNoDialog) {
  env.fake.processes.running = {{4, "Firefox.exe", "Firefox.exe"}, {5, "OPERA.EXE", "OPERA.EXE"}};
  EXPECT_TRUE(main().BrowsersLetCleaningStart());
  EXPECT_THAT(env.backend.modal_forms, IsEmpty());
  main().PrepareCleaningView(true);
  EXPECT_TRUE(main().lbCurrentPath->Visible());
  EXPECT_FALSE(main().lbSummarySize->Visible());

  env.fake.processes.snapshot_available = false;
  EXPECT_TRUE(main().BrowsersLetCleaningStart());
  EXPECT_THAT(env.backend.modal_forms, IsEmpty());
}

TEST_F(RunningAppsCheckTest, ListsEveryWatchedProcessInProcessOrder) {
  env.fake.processes.running = {
      {4, "opera.exe", "opera.exe"},
      {5, "firefox.exe", "firefox.exe"},
      {6, "svchost.exe", "svchost.exe"},
      {7, "firefox.exe", "firefox.exe"},
      {8, "FIREFOX.EXE", "firefox.exe"},  // the module's own name counts
      {9, "chrome.exe", "chrome.exe"},
      {10, "msedge.exe", "msedge.exe"},
      {11, "brave.exe", "brave.exe"},
      {12, "vivaldi.exe", "vivaldi.exe"},
      {13, "chromium.exe", "chromium.exe"},
      // Programs whose caches the rules clean are watched as the browsers are.
      {14, "Discord.exe", "Discord.exe"},
      {15, "ms-teams.exe", "ms-teams.exe"},
      {16, "Code.exe", "Code.exe"},
  };
  std::vector<std::string> shown;
  env.backend.responders["frmStartedApps"] = [&](ui::TForm&) {
    shown = dialog().ListBox1->Items();
    return ui::TModalResult::mrIgnore;
  };
  EXPECT_TRUE(main().BrowsersLetCleaningStart());
  EXPECT_THAT(shown,
              ElementsAre("Opera", "Mozilla Firefox", "Mozilla Firefox", "Mozilla Firefox", "Google Chrome",
                          "Microsoft Edge", "Brave", "Vivaldi", "Discord", "Microsoft Teams", "Visual Studio Code"));
  EXPECT_THAT(env.fake.processes.terminated, IsEmpty());  // Skip closes nothing

  // The list is built afresh for every check.
  env.fake.processes.running = {{9, "opera.exe", "opera.exe"}};
  EXPECT_TRUE(main().BrowsersLetCleaningStart());
  EXPECT_THAT(shown, ElementsAre("Opera"));
}

TEST_F(RunningAppsCheckTest, CloseAndContinueEndsTheListedBrowsers) {
  env.fake.processes.running = {
      {5, "firefox.exe", "firefox.exe"},
      {6, "firefox.exe", "firefox.exe"},
      {7, "opera.exe", "opera.exe"},
      {8, "notepad.exe", "notepad.exe"},
  };
  AnswerWith(&TfrmStartedApps::btnCloseAndContinue);
  EXPECT_TRUE(main().BrowsersLetCleaningStart());
  EXPECT_THAT(env.fake.processes.terminated, ElementsAre(5u, 6u, 7u));
  EXPECT_EQ(dialog().ModalResult(), ui::TModalResult::mrYes);
}

TEST_F(RunningAppsCheckTest, CancelAndTheCloseBoxRefuse) {
  env.fake.processes.running = {{5, "firefox.exe", "firefox.exe"}};
  AnswerWith(&TfrmStartedApps::btnCancel);
  EXPECT_FALSE(main().BrowsersLetCleaningStart());
  EXPECT_EQ(dialog().ModalResult(), ui::TModalResult::mrCancel);

  env.backend.responders["frmStartedApps"] = [this](ui::TForm&) {
    dialog().Close();
    return ui::TModalResult::mrNone;
  };
  EXPECT_FALSE(main().BrowsersLetCleaningStart());
  EXPECT_THAT(env.fake.processes.terminated, IsEmpty());
  // Skip answers 5 and goes on.
  AnswerWith(&TfrmStartedApps::btSkip);
  EXPECT_TRUE(main().BrowsersLetCleaningStart());
  EXPECT_EQ(dialog().ModalResult(), ui::TModalResult::mrIgnore);
}

}  // namespace
