// The scan's reports on the main window: rows, size texts, summary labels, the noise level, the
// end of a scan and "Stop Scanning".
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/dlgMain.h"
#include "scan/size_text.h"
#include "settings/dlgOptions.h"
#include "settings/mem_ini_file.h"
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

TEST_F(ScanResultsTest, ObjectsBelowTheNoiseLevelAreCountedButGetNoRow) {
  TfrmMain& m = main();
  NoiseLevel("4096");
  m.SearchThreadFoundObject("C:\\a", 10000);
  EXPECT_THAT(Rows(), ElementsAre(Row{"C:\\a", "0.0095367", "Queued...", false}));
  EXPECT_EQ(Labels(), std::make_pair(std::string("1 ( 1 )"), std::string("0.0095367 MB")));

  m.SearchThreadFoundObject("C:\\b", 100);
  EXPECT_EQ(m.lvFound->Count(), 1);
  EXPECT_EQ(Labels(), std::make_pair(std::string("1 ( 1 )"), std::string("0.0095367 MB"))) << "not refreshed";

  m.SearchThreadFoundObject("C:\\c", 20000);
  EXPECT_THAT(Rows(),
              ElementsAre(Row{"C:\\c", "0.019073", "Queued...", false}, Row{"C:\\a", "0.0095367", "Queued...", false}));
  EXPECT_EQ(Labels(), std::make_pair(std::string("2 ( 3 )"), std::string("0.028706 MB")));
  EXPECT_THAT(m.FFoundPaths, ElementsAre("C:\\a", "C:\\b", "C:\\c"));
  EXPECT_THAT(m.FFoundSizes, ElementsAre("10000", "100", "20000"));

  // The limit is read for every object: exactly at it gets a row, one byte below does not.
  m.SearchThreadFoundObject("C:\\at", 4096);
  m.SearchThreadFoundObject("C:\\below", 4095);
  NoiseLevel("0");
  m.SearchThreadFoundObject("C:\\empty", 0);
  EXPECT_EQ(Rows()[0], (Row{"C:\\empty", "0 Bytes", "Queued...", false}));
  EXPECT_EQ(Rows()[1], (Row{"C:\\at", "4096 Bytes", "Queued...", false}));
  EXPECT_EQ(Labels().first, "4 ( 6 )");
}

TEST_F(ScanResultsTest, NumbersUseTheUsersDecimalSeparator) {
  env.fake.system.decimal_separator = ',';
  main().SearchThreadFoundObject("C:\\a", 10000);
  main().SearchThreadFoundObject("C:\\c", 20100);
  EXPECT_EQ(Rows()[0].size, "0,019169");
  EXPECT_EQ(Labels().second, "0,028706 MB");
}

TEST_F(ScanResultsTest, TheCurrentFolderIsShownAsReported) {
  main().SearchThreadCurrentFolder("C:\\RECYCLER\\");
  EXPECT_EQ(main().lbCurrentPath->Caption(), "C:\\RECYCLER\\");
}

TEST_F(ScanResultsTest, LabelsAtTheEndCountOnlyUpToTheLastShownObject) {
  ScanFiles({{"a.dat", 5000}, {"b.dat", 100}, {"c.dat", 200}});
  env.main_thread.PumpUntilIdle();
  EXPECT_EQ(main().lvFound->Count(), 1);
  EXPECT_EQ(main().FFoundPaths.size(), 3u);
  EXPECT_EQ(Labels(), std::make_pair(std::string("1 ( 1 )"), std::string("0.0047684 MB")));
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

  env.main_thread.PumpUntil([&] { return !m.lbCurrentPath->Caption().empty(); });
  EXPECT_EQ(m.lbCurrentPath->Caption(), "C:\\Big\\");
  env.main_thread.PumpUntil([&] { return m.lvFound->Count() > 0; });
  m.btnCancelClick(m.btnCancel);
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
  EXPECT_GE(m.lvFound->Count(), 1);
  EXPECT_LT(m.lvFound->Count(), 40);
  ExpectScanEnded();
  EXPECT_TRUE(m.btnCleanAll->Visible());
  EXPECT_FALSE(m.btnCancel->Enabled());
}

}  // namespace
