// The scan's reports on the main window: rows, size texts, summary labels, the noise level, the
// end of a scan and "Stop Scanning".
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/dlgMain.h"
#include "ini/mem_ini_file.h"
#include "scan/size_text.h"
#include "settings/dlgOptions.h"
#include "tests/support/test_env.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

TEST(SizeText, BytesUpToTheFixedLimitThenMegabytesInGeneralFormat) {
  EXPECT_EQ(SizeText(0, '.'), "0 Bytes");
  EXPECT_EQ(SizeText(512, '.'), "512 Bytes");
  EXPECT_EQ(SizeText(4096, '.'), "4096 Bytes");
  EXPECT_EQ(SizeText(4097, '.'), "0.0039072");
  EXPECT_EQ(SizeText(5000, '.'), "0.0047684");
  EXPECT_EQ(SizeText(1048576, '.'), "1");
  EXPECT_EQ(SizeText(123456789, '.'), "117.74");
  EXPECT_EQ(SizeText(123456789, ','), "117,74");
  EXPECT_EQ(SizeText(int64_t{5} << 40, '.'), "5.2429E6");  // 5 TiB: beyond fixed notation
  EXPECT_EQ(MegabytesText(0, '.'), "0");
}

class ScanResultsTest : public ::testing::Test {
 protected:
  TfrmMain& main() { return *env.forms.frmMain; }
  void NoiseLevel(const std::string& text) { env.forms.frmOptions->editNoiseLevel->SetText(text); }

  struct Row {
    std::string caption, size, status;
    bool checked;
    bool operator==(const Row&) const = default;
  };
  std::vector<Row> Rows() {
    std::vector<Row> rows;
    for (int i = 0; i < main().lvFound->Count(); ++i) {
      const ui::TListItem* item = main().lvFound->Item(i);
      rows.push_back({item->Caption(), item->SubItem(0), item->SubItem(1), item->Checked()});
    }
    return rows;
  }
  std::pair<std::string, std::string> Labels() { return {main().lbBinsFound->Caption(), main().lbBinsSize->Caption()}; }

  // A real scan of C:\Scan, whose files are reported in name order.
  void ScanFiles(const std::vector<std::pair<std::string, int64_t>>& files, const std::string& rule_extra = "") {
    for (const auto& [name, size] : files) env.fake.files.AddFile("C:\\Scan\\" + name, size);
    env.fake.files.AddFileWithContent("C:\\rules.cxtraces", "[r]\nLevel=Recycle\nPath=\\Scan\nType=0\n" + rule_extra);
    main().FTraceDefinitions = std::make_unique<TMemIniFile>(env.fake.files, "C:\\rules.cxtraces");
    main().cbRecycleBin->SetChecked(true);
    env.forms.frmOptions->lvDisks->Clear();
    ui::TListItem* disk = env.forms.frmOptions->lvDisks->Add();
    disk->SetCaption("C");
    disk->SetChecked(true);
    main().btnStartClick(main().btnStart);
  }

  void ExpectScanEnded(size_t balloons = 1) {
    EXPECT_TRUE(main().btnStart->Enabled());
    EXPECT_FALSE(main().execTimer->Enabled());
    EXPECT_FALSE(main().TrayIcon2->Animate());
    ASSERT_EQ(env.backend.balloons.size(), balloons);
    EXPECT_EQ(env.backend.balloons.back().text,
              "Scan finished. \n\r" + std::to_string(main().lvFound->Count()) + " garbage objects found.");
  }

  TestEnv env;
};

TEST_F(ScanResultsTest, EveryObjectIsRecordedAndThoseAtTheNoiseLevelAreListedNewestFirst) {
  NoiseLevel("4096");
  ScanFiles({{"a.dat", 10000}, {"at.dat", 4096}, {"b.dat", 100}, {"below.dat", 4095}, {"c.dat", 20000}});
  env.main_thread.PumpUntilIdle();
  EXPECT_THAT(Rows(), ElementsAre(Row{"C:\\Scan\\c.dat", "0.019073", "Queued...", false},
                                  Row{"C:\\Scan\\at.dat", "4096 Bytes", "Queued...", false},
                                  Row{"C:\\Scan\\a.dat", "0.0095367", "Queued...", false}));
  // The labels are refreshed with each listed row, so they count up to the last one.
  EXPECT_EQ(Labels(), std::make_pair(std::string("3 ( 5 )"), std::string("0.036517 MB")));
  EXPECT_THAT(main().FScan->FoundSizes(), ElementsAre(10000, 4096, 100, 4095, 20000));
  ExpectScanEnded();
}

TEST_F(ScanResultsTest, NumbersUseTheUsersDecimalSeparator) {
  env.fake.system.decimal_separator = ',';
  ScanFiles({{"a.dat", 10000}, {"c.dat", 20100}});
  env.main_thread.PumpUntilIdle();
  EXPECT_EQ(Rows()[0].size, "0,019169");
  EXPECT_EQ(Labels().second, "0,028706 MB");
}

TEST(ScanRun, ANoiseLevelThatIsNoWholeNumberActsAsTheDefault) {
  EXPECT_EQ(ParseNoiseLevel(" 0 "), 0);
  EXPECT_EQ(ParseNoiseLevel("100"), 100);
  for (const char* text : {"abc", "4k", "", "12.5", "99999999999999999999999"})
    EXPECT_EQ(ParseNoiseLevel(text), kDefaultNoiseLevel) << text;
}

// The rows wait in the run while the worker walks on: the window takes them in slices, between
// the worker's reports and after its end, and gets each listed object once, in the order found.
TEST(ScanRun, ListedObjectsWaitForTheirRowsAndAreHandedOverOnceInOrder) {
  TestEnv env;
  std::vector<std::pair<std::string, int64_t>> listed;
  for (int i = 0; i < 3000; ++i) {
    const std::string path = "C:\\R\\d" + std::to_string(i % 3) + "\\f" + std::to_string(10000 + i) + ".dat";
    const int64_t size = i % 4 ? 5000 : 10;
    env.fake.files.AddFile(path, size);
  }
  int announced = 0;
  TScanRunEvents events;
  events.OnRowsPending = [&] { ++announced; };
  TScanRun run(env.main_thread, env.fake.files, env.fake.debug, 4096, std::move(events));
  TScanJob job;
  job.Paths = {"\\R"};
  job.Templates = {"*.dat"};
  job.Types = {"0"};
  job.SearchRules = {"1"};
  job.Drives = {"C"};
  std::vector<std::pair<std::string, int64_t>> rows;
  const auto take = [&](size_t most) {
    run.TakeRows(most, [&](const std::string& path, int64_t size, platform::FileId) { rows.emplace_back(path, size); });
  };
  run.Start(job);
  int slices = 0;
  env.main_thread.PumpUntil([&] {
    if (run.RowsPending()) {
      take(7);
      ++slices;
    }
    return false;
  });
  take(SIZE_MAX);
  EXPECT_FALSE(run.RowsPending());

  ASSERT_EQ(run.FoundPaths().size(), 3000u);
  for (size_t i = 0; i < run.FoundPaths().size(); ++i)
    if (run.FoundSizes()[i] == 5000) listed.emplace_back(run.FoundPaths()[i], 5000);
  EXPECT_EQ(rows, listed);
  EXPECT_GT(slices, 1) << "rows were taken while the worker ran";
  EXPECT_GE(announced, 1);
  EXPECT_LE(announced, slices + 1) << "announced only when rows arrive after none";

  // An abandoned run hands over nothing more.
  env.fake.files.AddFile("C:\\R\\late.dat", 5000);
  TScanRunEvents again;
  again.OnRowsPending = [] {};
  TScanRun second(env.main_thread, env.fake.files, env.fake.debug, 4096, std::move(again));
  second.Start(job);
  env.main_thread.PumpUntil([&] { return second.RowsPending(); });
  EXPECT_TRUE(second.RowsPending());
  second.Abandon();
  EXPECT_FALSE(second.RowsPending());
  rows.clear();
  second.TakeRows(SIZE_MAX,
                  [&](const std::string& path, int64_t size, platform::FileId) { rows.emplace_back(path, size); });
  EXPECT_TRUE(rows.empty());
  second.WaitForWorker();
}

TEST_F(ScanResultsTest, TheCurrentFolderIsShownAsReported) {
  main().SearchThreadCurrentFolder("C:\\RECYCLER\\");
  EXPECT_EQ(main().lbCurrentPath->Caption(), "C:\\RECYCLER\\");
}

TEST_F(ScanResultsTest, LabelsAtTheEndCountOnlyUpToTheLastShownObject) {
  ScanFiles({{"a.dat", 5000}, {"b.dat", 100}, {"c.dat", 200}});
  env.main_thread.PumpUntilIdle();
  EXPECT_EQ(main().lvFound->Count(), 1);
  EXPECT_EQ(main().FScan->FoundPaths().size(), 3u);
  EXPECT_EQ(Labels(), std::make_pair(std::string("1 ( 1 )"), std::string("0.0047684 MB")));
  ExpectScanEnded();
}

// Thousands of rows in a few batches: every row once, newest first, and the summary labels set
// once per batch, not once per row, yet exact at the end.
TEST_F(ScanResultsTest, ManyObjectsArriveWholeAndInOrderAndTheLabelsFollowTheBatches) {
  std::vector<std::pair<std::string, int64_t>> files;
  for (int i = 0; i < 2500; ++i) files.emplace_back("f" + std::to_string(10000 + i) + ".dat", i % 2 ? 5000 : 10);
  ScanFiles(files);
  const int label_changes_before = env.backend.changes["lbBinsFound"];
  // The window's turns come between the worker's reports, as its message loop runs them.
  int rows_while_scanning = 0;
  env.main_thread.PumpUntil([&] {
    env.backend.DeliverPosted();
    if (!main().btnStart->Enabled()) rows_while_scanning = main().lvFound->Count();
    return false;
  });
  EXPECT_GT(rows_while_scanning, 0) << "rows appear while the scan runs";

  ASSERT_EQ(main().lvFound->Count(), 1250);
  for (int row = 0; row < 1250; ++row)
    ASSERT_EQ(main().lvFound->Item(row)->Caption(), "C:\\Scan\\f" + std::to_string(12499 - 2 * row) + ".dat");
  EXPECT_EQ(Labels(), std::make_pair(std::string("1250 ( 2500 )"),
                                     MegabytesText((1250 * 5000 + 1250 * 10) / 1048576.0, '.') + " MB"));
  EXPECT_LE(env.backend.changes["lbBinsFound"] - label_changes_before, 6);
  ExpectScanEnded();
}

TEST_F(ScanResultsTest, WhenNothingReachesTheNoiseLevelTheLabelsStayAtZero) {
  ScanFiles({{"a.dat", 100}, {"b.dat", 4095}});
  env.main_thread.PumpUntilIdle();
  EXPECT_EQ(Labels(), std::make_pair(std::string("0 ( 0 )"), std::string("0 MB")));
  ExpectScanEnded();
  EXPECT_EQ(env.backend.balloons[0].text, "Scan finished. \n\r0 garbage objects found.");
  EXPECT_EQ(env.backend.balloons[0].icon, "TrayIcon1");
  EXPECT_EQ(env.backend.balloons[0].flags, ui::TBalloonFlags::bfInfo);
}

// The options dialog takes any text; one that is not a whole number counts as the default 4096.
TEST_F(ScanResultsTest, ANoiseLevelThatIsNoWholeNumberActsAsTheDefault) {
  size_t scans = 0;
  for (const char* text : {"abc", "4k", "", "12.5", "99999999999999999999999"}) {
    SCOPED_TRACE(text);
    NoiseLevel(text);
    ScanFiles({{"a_small.dat", 4095}, {"b_big.dat", 5000}, {"c_limit.dat", 4096}});
    env.main_thread.PumpUntilIdle();
    EXPECT_EQ(Rows().size(), 2u);
    EXPECT_EQ(Labels().first, "2 ( 3 )");
    ExpectScanEnded(++scans);
    EXPECT_TRUE(main().btnCleanAll->Enabled());
  }
  EXPECT_THAT(env.backend.errors, IsEmpty());
}

TEST_F(ScanResultsTest, StopShowsTheResultsAtOnceAndTheScanStillEndsWithItsBalloon) {
  TfrmMain& m = main();
  for (int i = 0; i < 40; ++i) env.fake.files.AddFile("C:\\Big\\f" + std::to_string(100 + i) + "\\x.tmp", 5000);
  env.fake.files.AddFileWithContent("C:\\rules.cxtraces",
                                    "[r]\nLevel=Recycle\nPath=\\Big\nTemplate=*.tmp\nType=0\nSearchRule=1\n");
  m.FTraceDefinitions = std::make_unique<TMemIniFile>(env.fake.files, "C:\\rules.cxtraces");
  m.cbRecycleBin->SetChecked(true);
  env.forms.frmOptions->lvDisks->Clear();
  ui::TListItem* disk = env.forms.frmOptions->lvDisks->Add();
  disk->SetCaption("C");
  disk->SetChecked(true);
  m.btnStartClick(m.btnStart);

  // Stopped while the worker waits in its first report: it leaves within the folder it is in.
  env.main_thread.PumpUntil([&] {
    if (m.lbCurrentPath->Caption().empty()) return false;
    m.btnCancelClick(m.btnCancel);
    return true;
  });
  EXPECT_EQ(m.lbCurrentPath->Caption(), "C:\\Big\\");
  EXPECT_FALSE(m.btnCancel->Enabled());
  EXPECT_TRUE(m.btnCancel->Visible());
  EXPECT_FALSE(m.lbCurrentPath->Visible());
  EXPECT_FALSE(m.lbCurrentPosition->Visible());
  EXPECT_TRUE(m.btnCleanAll->Visible());
  EXPECT_TRUE(m.btnCleanAll->Enabled());
  EXPECT_TRUE(m.lvFound->Visible());
  EXPECT_THAT(env.backend.balloons, IsEmpty()) << "the worker has not ended yet";
  EXPECT_TRUE(m.execTimer->Enabled());

  env.main_thread.PumpUntilIdle();
  EXPECT_LT(m.lvFound->Count(), 40);
  ExpectScanEnded();
  EXPECT_TRUE(m.btnCleanAll->Visible());
  EXPECT_FALSE(m.btnCancel->Enabled());
}

// The page that "Stop Scanning" shows lists what was found so far, rows not yet made included,
// and the worker's end adds none of them twice.
TEST_F(ScanResultsTest, StopListsEveryObjectFoundSoFarOnce) {
  ScanFiles({{"a.dat", 5000}, {"b.dat", 6000}});
  env.main_thread.PumpUntil([&] { return !main().FScan->FoundPaths().empty(); });
  ASSERT_EQ(main().lvFound->Count(), 0) << "no turn of the window has made rows yet";
  main().btnCancelClick(main().btnCancel);
  EXPECT_EQ(main().lvFound->Count(), static_cast<int>(main().FScan->FoundPaths().size()));
  env.main_thread.PumpUntilIdle();
  env.backend.DeliverPosted();
  EXPECT_THAT(Rows(), ElementsAre(Row{"C:\\Scan\\b.dat", "0.005722", "Queued...", false},
                                  Row{"C:\\Scan\\a.dat", "0.0047684", "Queued...", false}));
}

TEST_F(ScanResultsTest, AStartAfterAStopWaitsForTheStoppedWorkerAndListsNoneOfItsRows) {
  TfrmMain& m = main();
  for (int i = 0; i < 40; ++i) env.fake.files.AddFile("C:\\Big\\f" + std::to_string(100 + i) + "\\x.tmp", 5000);
  env.fake.files.AddFile("C:\\Scan\\only.dat", 5000);
  env.fake.files.AddFileWithContent("C:\\rules.cxtraces",
                                    "[big]\nLevel=Logs\nPath=\\Big\nTemplate=*.tmp\nType=0\nSearchRule=1\n[scan]"
                                    "\nLevel=Recycle\nPath=\\Scan\nType=0\n");
  m.FTraceDefinitions = std::make_unique<TMemIniFile>(env.fake.files, "C:\\rules.cxtraces");
  env.forms.frmOptions->lvDisks->Clear();
  ui::TListItem* disk = env.forms.frmOptions->lvDisks->Add();
  disk->SetCaption("C");
  disk->SetChecked(true);
  m.SetTickedCategories({});
  m.cbLogFiles->SetChecked(true);
  m.btnStartClick(m.btnStart);
  env.main_thread.PumpUntil([&] {
    env.backend.DeliverPosted();
    return m.lvFound->Count() > 0;
  });
  ASSERT_TRUE(m.FScan && m.FScan->WorkerRunning());

  // Stop, back to the settings, untick the category and start again while the worker still runs.
  m.btnCancel->DoClick();
  m.btnBacktoSettings->DoClick();
  EXPECT_TRUE(m.cbRecycleBin->Visible()) << "the stopped scan's end leaves the settings page shown";
  m.cbLogFiles->SetChecked(false);
  m.cbRecycleBin->SetChecked(true);
  m.btnStart->Click();
  env.main_thread.PumpUntilIdle();
  EXPECT_THAT(Rows(), ElementsAre(Row{"C:\\Scan\\only.dat", "0.0047684", "Queued...", false}));
  EXPECT_EQ(Labels().first, "1 ( 1 )");
  EXPECT_TRUE(m.btnStart->Enabled());
}

}  // namespace
