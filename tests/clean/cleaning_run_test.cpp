// The cleaning run through the main window on the fake platform: starting, the status texts each
// outcome writes, the partial-delete percentage and the end of the run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/dlgMain.h"
#include "clean/cleaning_run.h"
#include "clean/dlgAlert.h"
#include "processes/dlgStartedApps.h"
#include "tests/support/test_env.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr int64_t kMB = 1048576;

class CleaningRunTest : public ::testing::Test {
 protected:
  TfrmMain& main() { return *env.forms.frmMain; }

  ui::TListItem* AddRow(const std::string& path, const std::string& size_text, bool ticked = false) {
    ui::TListItem* row = main().lvFound->Add();
    row->SetCaption(path);
    row->AddSubItem(size_text);
    row->AddSubItem("Queued...");
    row->SetChecked(ticked);
    return row;
  }
  std::string Status(int row) { return main().lvFound->Item(row)->SubItem(1); }
  std::vector<std::string> Statuses() {
    std::vector<std::string> out;
    for (int i = 0; i < main().lvFound->Count(); ++i) out.push_back(Status(i));
    return out;
  }
  void CleanAll() {
    main().btnCleanAllClick(main().btnCleanAll);
    env.main_thread.PumpUntilIdle();
  }
  void CleanSelected() {
    main().btnCleanSelectedClick(main().btnCleanSelected);
    env.main_thread.PumpUntilIdle();
  }
  // The partial-delete status of a folder whose only remaining file holds `left` bytes.
  std::string PartialStatus(const std::string& size_text, int64_t left) {
    main().lvFound->Clear();
    const std::string folder = "C:\\Temp\\P" + std::to_string(++folders_);
    env.fake.files.AddFile(folder + "\\gone.tmp", 1);
    env.fake.files.AddFile(folder + "\\held.tmp", left);
    env.fake.files.Lock(folder + "\\held.tmp");
    AddRow(folder, size_text);
    CleanAll();
    return Status(0);
  }

  TestEnv env;
  int folders_ = 0;
};

TEST_F(CleaningRunTest, NothingToCleanShowsTheAlertAndChangesNothing) {
  CleanAll();
  TfrmAlert& alert = *env.forms.frmAlert;
  EXPECT_EQ(alert.Caption(), "Cannot start cleaning");
  EXPECT_EQ(alert.lbCaption->Caption(), "Nothing to Clean.");
  EXPECT_EQ(alert.lbMessage->Caption(), "There are no objects for cleaning.");

  AddRow("C:\\Temp\\a.log", "100 Bytes");
  CleanSelected();
  EXPECT_EQ(alert.lbCaption->Caption(), "Nothing selected.");
  EXPECT_EQ(alert.lbMessage->Caption(),
            "No one garbage object selected in results, check minimum one row in table for cleaning.");

  EXPECT_THAT(env.backend.modal_forms, ElementsAre("frmAlert", "frmAlert"));
  EXPECT_FALSE(main().TrayIcon2->Visible());
  EXPECT_THAT(env.backend.balloons, IsEmpty());
  EXPECT_THAT(Statuses(), ElementsAre("Queued..."));
}

TEST_F(CleaningRunTest, CleanAllWritesEachOutcomeAndEndsIdle) {
  env.fake.files.AddFile("C:\\Temp\\a.log", 100);
  env.fake.files.AddFile("C:\\Temp\\Junk\\b.tmp", 5 * kMB);
  env.fake.files.AddFile("C:\\Temp\\Held\\c.tmp", 100);
  env.fake.files.Lock("C:\\Temp\\Held\\c.tmp");
  env.fake.files.AddFolder("C:\\RECYCLER\\S-1-5-21");
  AddRow("C:\\Temp\\a.log", "100 Bytes");
  AddRow("C:\\Temp\\Junk", "5");
  AddRow("C:\\Temp\\Held", "100 Bytes");
  AddRow("C:\\RECYCLER\\S-1-5-21", "0");
  main().btnCleanAll->SetEnabled(true);

  CleanAll();

  EXPECT_THAT(Statuses(), ElementsAre("File Deleted", "Folder Deleted", "Cannot Delete", "Folder Deleted"));
  EXPECT_FALSE(env.fake.files.Exists("C:\\Temp\\a.log"));
  EXPECT_FALSE(env.fake.files.Exists("C:\\Temp\\Junk"));
  EXPECT_TRUE(env.fake.files.Exists("C:\\Temp\\Held\\c.tmp"));
  EXPECT_THAT(env.fake.debug.Lines(), Contains("Main T (Cannot Delete) C:\\Temp\\Held"));

  // Idle again: buttons back, path label hidden, timer off, static tray icon with its balloon.
  EXPECT_TRUE(main().btnCleanAll->Enabled());
  EXPECT_TRUE(main().btnCleanSelected->Enabled());
  EXPECT_TRUE(main().btnBacktoSettings->Enabled());
  EXPECT_FALSE(main().lbCurrentPath->Visible());
  EXPECT_TRUE(main().lbCurrentPosition->Visible());
  EXPECT_FALSE(main().lbTracesLabel->Visible());
  EXPECT_FALSE(main().execTimer->Enabled());
  EXPECT_FALSE(main().TrayIcon2->Visible());
  EXPECT_FALSE(main().TrayIcon2->Animate());
  EXPECT_EQ(main().TrayIcon2->Icons(), main().ilDelete);
  EXPECT_TRUE(main().TrayIcon1->Visible());
  ASSERT_EQ(env.backend.balloons.size(), 1u);
  EXPECT_EQ(env.backend.balloons[0].icon, "TrayIcon1");
  EXPECT_EQ(env.backend.balloons[0].text, "Cleaning finished.");
  EXPECT_EQ(env.backend.balloons[0].flags, ui::TBalloonFlags::bfInfo);
  EXPECT_FALSE(main().FCleaning->WorkerRunning());
  const auto& columns = main().lvFound->Columns();
  EXPECT_EQ(columns[0].Width, 370);
  EXPECT_EQ(columns[2].Width, 150);
  EXPECT_THAT(env.backend.modal_forms, IsEmpty());  // no watched application runs
}

TEST_F(CleaningRunTest, CleanSelectedLeavesUntickedRowsAndTheirObjects) {
  env.fake.files.AddFile("C:\\Temp\\a.log", 100);
  env.fake.files.AddFile("C:\\Temp\\b.log", 100);
  env.fake.files.AddFile("C:\\Temp\\c.log", 100);
  AddRow("C:\\Temp\\a.log", "100 Bytes", true);
  AddRow("C:\\Temp\\b.log", "100 Bytes", false);
  AddRow("C:\\Temp\\c.log", "100 Bytes", true);

  CleanSelected();

  EXPECT_THAT(Statuses(), ElementsAre("File Deleted", "Queued...", "File Deleted"));
  EXPECT_TRUE(env.fake.files.Exists("C:\\Temp\\b.log"));
  EXPECT_THAT(env.fake.files.DeletedFiles(), ElementsAre("C:\\Temp\\a.log", "C:\\Temp\\c.log"));
}

TEST_F(CleaningRunTest, RowsOfTheSamePathShareTheUpperRowsOutcome) {
  env.fake.files.AddFile("C:\\Temp\\a.log", 100);
  env.fake.files.AddFile("C:\\Temp\\held.log", 100);
  env.fake.files.Lock("C:\\Temp\\held.log");
  AddRow("C:\\Temp\\a.log", "100 Bytes");
  AddRow("C:\\Temp\\held.log", "100 Bytes");
  AddRow("c:\\temp\\A.LOG", "100 Bytes");
  AddRow("C:\\TEMP\\HELD.LOG", "100 Bytes");

  CleanAll();

  // Each path is deleted once, so the upper row keeps what really happened to its object.
  EXPECT_THAT(Statuses(), ElementsAre("File Deleted", "Cannot Delete", "Queued...", "Queued..."));
}

TEST_F(CleaningRunTest, InternetCacheRowShowsTheLaterOutcome) {
  const std::string cache = "C:\\Documents and Settings\\User\\Local Settings\\Temporary Internet Files";
  env.fake.files.AddFile(cache + "\\index.dat", 10);
  env.fake.files.Lock(cache + "\\index.dat");
  env.fake.url_cache.entries = {"http://a/"};
  AddRow(cache, "10 Bytes");

  CleanAll();

  EXPECT_EQ(Status(0), "Cannot Delete");
  EXPECT_THAT(env.fake.url_cache.deleted, ElementsAre("http://a/"));
}

TEST_F(CleaningRunTest, FolderEmptiedFileByFileIsRemovedAndSaysSo) {
  env.fake.shell.on_delete = [](const std::string&) { throw std::runtime_error("shell broke"); };
  env.fake.files.AddFile("C:\\Temp\\E\\a.tmp", 10);
  AddRow("C:\\Temp\\E", "10 Bytes");

  CleanAll();

  EXPECT_EQ(Status(0), "Folder Deleted");
  EXPECT_FALSE(env.fake.files.Exists("C:\\Temp\\E"));
}

TEST_F(CleaningRunTest, PartialDeletePercentageComparesLikeUnits) {
  EXPECT_EQ(PartialStatus("10", 2 * kMB + kMB / 2), "Partial Delete ( 75% )");
  EXPECT_EQ(PartialStatus("4000 Bytes", 1000), "Partial Delete ( 75% )");
  EXPECT_EQ(PartialStatus("4000 bytes", 1000), "Partial Delete ( 75% )");
  EXPECT_EQ(PartialStatus("10", 12 * kMB), "Partial Delete ( -20% )");  // grew after the scan
  // Halves go to the even neighbour: 12.5% left rounds to 12, 37.5% to 38.
  EXPECT_EQ(PartialStatus("8", kMB), "Partial Delete ( 88% )");
  EXPECT_EQ(PartialStatus("8", 3 * kMB), "Partial Delete ( 62% )");
  // A listed size of 0, or one that cannot be read, gives no share to measure: 0% is written.
  EXPECT_EQ(PartialStatus("0 Bytes", 500), "Partial Delete ( 0% )");
  EXPECT_EQ(PartialStatus("0", 0), "Partial Delete ( 0% )");
  EXPECT_EQ(PartialStatus("n/a", 500), "Partial Delete ( 0% )");
}

TEST_F(CleaningRunTest, PartialDeleteWithVanishedFilesAndTheDebugTraces) {
  // The run on its own, without the window: its reports become status texts.
  std::vector<std::string> outcomes;
  TCleaningRunEvents events;
  events.OnOutcome = [&](const std::string& item, const std::string& status) {
    outcomes.push_back(item + ": " + status);
  };
  TCleaningRun run(env.main_thread, env.fake.os, std::move(events));
  env.fake.system.decimal_separator = ',';
  run.Start({{"C:\\Temp\\V", "10"}, {"C:\\Temp\\W", "2,5"}, {"c:\\temp\\v", "99"}});
  run.WaitForWorker();
  EXPECT_THAT(outcomes, ElementsAre("C:\\Temp\\V: Cannot Delete", "C:\\Temp\\W: Cannot Delete"))
      << "each path once, letter case ignored";
  outcomes.clear();

  // The worker's list is handed on unchanged; a file in it that is gone counts as 0 bytes.
  const size_t traces_before = env.fake.debug.Lines().size();
  run.PartialDelete("C:\\Temp\\V", {"C:\\Temp\\V\\gone.tmp"});
  env.fake.files.AddFile("C:\\Temp\\W\\a.tmp", kMB / 2);
  env.fake.files.AddFile("C:\\Temp\\W\\b.tmp", kMB / 4);
  run.PartialDelete("C:\\Temp\\W", {"C:\\Temp\\W\\a.tmp", "C:\\Temp\\W\\gone.tmp", "C:\\Temp\\W\\b.tmp"});
  run.PartialDelete("C:\\Temp\\Nowhere", {});
  EXPECT_THAT(outcomes, ElementsAre("C:\\Temp\\V: Partial Delete ( 100% )", "C:\\Temp\\W: Partial Delete ( 70% )"));

  auto lines = env.fake.debug.Lines();
  lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(traces_before));
  EXPECT_THAT(lines, ElementsAre("Main T (Partial Delete):  0 ---- 10",
                                 "Main T (Partial Delete):  524288 ++++ C:\\Temp\\W\\a.tmp",
                                 "Main T (Partial Delete):  786432 ++++ C:\\Temp\\W\\b.tmp",
                                 "Main T (Partial Delete):  0,75 ---- 2,5", "Node nil"));

  // Abandoned (the window closes): nothing is passed on any more.
  run.Abandon();
  run.CannotDelete("C:\\Temp\\V");
  EXPECT_EQ(outcomes.size(), 2u);
}

// Folders, whose starts the worker hands over before it deletes them, so that the close comes
// while the run is under way.
TEST_F(CleaningRunTest, ClosingMidRunFinishesTheCurrentItemDeletesNothingMoreAndEndsTheWorker) {
  for (int i = 0; i < 6; ++i) {
    env.fake.files.AddFile("C:\\Temp\\d" + std::to_string(i) + "\\x.log", 100);
    AddRow("C:\\Temp\\d" + std::to_string(i), "100 Bytes");
  }
  main().btnCleanAllClick(main().btnCleanAll);
  env.main_thread.PumpUntil([&] { return Status(0) == "Processing..."; });
  // A second press on the disabled button, as a posted click would make it, starts nothing.
  main().btnCleanAll->DoClick();
  ui::TCloseAction action = ui::TCloseAction::caFree;
  main().FormClose(&main(), action);
  EXPECT_EQ(env.main_thread.live_workers(), 0);
  int left = 0;
  for (int i = 0; i < 6; ++i) left += env.fake.files.Exists("C:\\Temp\\d" + std::to_string(i)) ? 1 : 0;
  // The first item, and at most the one already started when the window closed.
  EXPECT_GE(left, 4);
  EXPECT_LE(left, 5);
  EXPECT_THAT(env.backend.balloons, IsEmpty()) << "no report reaches a closing window";
}

TEST_F(CleaningRunTest, CancelInTheApplicationsDialogRefusesTheRun) {
  env.fake.files.AddFile("C:\\Temp\\a.log", 100);
  env.fake.processes.running = {{4, "firefox.exe", "firefox.exe"}};
  env.backend.responders["frmStartedApps"] = [](ui::TForm&) { return ui::TModalResult::mrCancel; };
  AddRow("C:\\Temp\\a.log", "100 Bytes");
  const int status_width = main().lvFound->Columns()[2].Width;

  CleanAll();

  EXPECT_THAT(env.backend.modal_forms, ElementsAre("frmStartedApps"));
  EXPECT_EQ(Status(0), "Queued...");
  EXPECT_TRUE(env.fake.files.Exists("C:\\Temp\\a.log"));
  EXPECT_THAT(env.fake.processes.terminated, IsEmpty());
  EXPECT_EQ(main().lvFound->Columns()[2].Width, status_width);
  EXPECT_FALSE(main().lbCurrentPath->Visible());
  EXPECT_FALSE(main().lbCurrentPosition->Visible());
  EXPECT_FALSE(main().execTimer->Enabled());
  EXPECT_FALSE(main().TrayIcon2->Visible());
  EXPECT_FALSE(main().TrayIcon2->Animate());
  EXPECT_TRUE(main().TrayIcon1->Visible());
  EXPECT_TRUE(main().btnCleanAll->Enabled());
  EXPECT_THAT(env.backend.balloons, IsEmpty());

  // The next press asks again; with the browser gone no dialog comes and the run goes ahead.
  env.fake.processes.running.clear();
  CleanAll();
  EXPECT_EQ(Status(0), "File Deleted");
  EXPECT_THAT(env.backend.modal_forms, ElementsAre("frmStartedApps"));
}

}  // namespace
