// The main window's pages, start image, hints, links, result-list double-click and timer, on the
// whole program built over test doubles.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/dlgMain.h"
#include "platform/exception.h"
#include "scan/categories.h"
#include "tests/support/test_env.h"

namespace {

std::string Image(const std::string& name) { return std::string(TestEnv::kExeFolder) + "images\\" + name; }

class MainPagesTest : public ::testing::Test {
 protected:
  TfrmMain& main() { return *env.forms.frmMain; }

  std::vector<ui::TControl*> SettingsControls() {
    TfrmMain& m = main();
    return {m.cbRecycleBin,     m.cbTempFoldersAndFiles, m.cbInternetCache, m.cbLogFiles,  m.cbImgCaches, m.cbWUBackup,
            m.imgStart,         m.lbAdvancedOptions,     m.lbStepChoose,    m.lbStepStart, m.lbStartScan, m.lbStartHelp,
            m.lbHintPlaceholder};
  }
  // The texts of the scanning and results pages: each page's own title and subtitle, or hidden.
  void ExpectPageTexts(const char* title, const char* subtitle) {
    TfrmMain& m = main();
    ExpectVisible({m.lbPageTitle, m.lbPageSubtitle}, title != nullptr);
    if (!title) return;
    EXPECT_EQ(m.lbPageTitle->Caption(), title);
    EXPECT_EQ(m.lbPageSubtitle->Caption(), subtitle);
  }
  std::vector<ui::TControl*> SummaryLabels() {
    TfrmMain& m = main();
    return {m.lbTracesLabel, m.lbSummarySize, m.lbBinsFound, m.lbBinsSize};
  }
  std::vector<ui::TControl*> ResultButtons() {
    TfrmMain& m = main();
    return {m.btnBacktoSettings, m.btnCleanSelected, m.btnCleanAll};
  }

  void ExpectAlwaysShown() {
    TfrmMain& m = main();
    for (ui::TControl* c : std::vector<ui::TControl*>{m.imgTop, m.imgBottom, m.imgBody, m.lbAbout, m.lbByMaker,
                                                      m.lbDiskCleaner, m.lbSlogan, m.lbTagline, m.lbFooterLine}) {
      EXPECT_TRUE(c->Visible()) << c->Name();
      EXPECT_TRUE(c->Enabled()) << c->Name();
    }
    EXPECT_FALSE(m.btnStart->Visible());
    EXPECT_TRUE(m.lbAbout->Transparent());
  }

  void ExpectVisible(const std::vector<ui::TControl*>& controls, bool visible) {
    for (ui::TControl* c : controls) EXPECT_EQ(c->Visible(), visible) << c->Name();
  }
  void ExpectEnabled(const std::vector<ui::TControl*>& controls, bool enabled) {
    for (ui::TControl* c : controls) EXPECT_EQ(c->Enabled(), enabled) << c->Name();
  }

  void ExpectSettingsPage() {
    TfrmMain& m = main();
    ExpectAlwaysShown();
    EXPECT_EQ(m.imgBody->PictureFile(), Image("settings.jpg"));
    ExpectVisible(SettingsControls(), true);
    ExpectEnabled(SettingsControls(), true);
    ExpectVisible(SummaryLabels(), false);
    ExpectVisible(ResultButtons(), false);
    ExpectVisible({m.lvFound, m.lbCurrentPosition, m.lbCurrentPath, m.btnCancel, m.panelHint}, false);
    ExpectPageTexts(nullptr, nullptr);
    // One column, top to bottom in this order, with the link under it; the exact places are
    // those the Wine tests find the controls at.
    const std::vector<ui::TControl*> column = {m.cbRecycleBin, m.cbInternetCache, m.cbTempFoldersAndFiles, m.cbLogFiles,
                                               m.cbImgCaches,  m.cbWUBackup,      m.lbAdvancedOptions};
    for (size_t i = 1; i < column.size(); ++i) {
      EXPECT_EQ(column[i]->Left(), column[0]->Left()) << column[i]->Name();
      EXPECT_GT(column[i]->Top(), column[i - 1]->Top()) << column[i]->Name();
    }
  }

  std::vector<int> ColumnWidths() {
    std::vector<int> widths;
    for (const auto& column : main().lvFound->Columns()) widths.push_back(column.Width);
    return widths;
  }

  // What btnStartClick does with the pages; the scan itself is not wanted here.
  void EnterScanningPage() {
    main().ShowSettingsPage(false);
    main().ShowScanningPage(true);
    main().btnCancel->SetEnabled(true);
  }

  void ExpectScanningPage() {
    TfrmMain& m = main();
    ExpectAlwaysShown();
    EXPECT_EQ(m.imgBody->PictureFile(), Image("scanning.jpg"));
    ExpectVisible(SettingsControls(), false);
    ExpectVisible(SummaryLabels(), true);
    ExpectVisible(ResultButtons(), true);
    ExpectEnabled(ResultButtons(), false);
    ExpectVisible({m.lvFound, m.lbCurrentPosition, m.lbCurrentPath, m.btnCancel}, true);
    EXPECT_TRUE(m.btnCancel->Enabled());
    EXPECT_FALSE(m.panelHint->Visible());
    EXPECT_EQ(m.lbBinsFound->Caption(), "0 ( 0 )");
    EXPECT_EQ(m.lbBinsSize->Caption(), "0 MB");
    EXPECT_EQ(m.lbCurrentPath->Caption(), "");
    EXPECT_EQ(ColumnWidths(), (std::vector<int>{520, 150, 0}));
    ExpectPageTexts("Scanning your disks...", "Looking for garbage on the chosen disks.");
  }

  void ExpectResultsPage() {
    TfrmMain& m = main();
    ExpectAlwaysShown();
    EXPECT_EQ(m.imgBody->PictureFile(), Image("results.jpg"));
    ExpectVisible(SettingsControls(), false);
    ExpectVisible(SummaryLabels(), true);
    ExpectVisible(ResultButtons(), true);
    ExpectEnabled(ResultButtons(), true);
    EXPECT_TRUE(m.lvFound->Visible());
    EXPECT_TRUE(m.btnCancel->Visible());
    EXPECT_FALSE(m.btnCancel->Enabled());
    EXPECT_FALSE(m.panelHint->Visible());
    ExpectPageTexts("Scan results", "Tick the objects to remove, then choose how to clean.");
  }

  TestEnv env;
};

TEST_F(MainPagesTest, StartsOnTheSettingsPageWithTheDesignedList) {
  ExpectSettingsPage();
  EXPECT_TRUE(env.backend.errors.empty()) << env.backend.errors.front();
  EXPECT_EQ(main().imgStart->PictureFile(), Image("start_inactive.jpg"));
  const auto& columns = main().lvFound->Columns();
  ASSERT_EQ(columns.size(), 3u);
  EXPECT_EQ(columns[0].Caption, "Garbage Items");
  EXPECT_EQ(columns[1].Caption, "Size on Disk");
  EXPECT_EQ(columns[2].Caption, "Cleaning Status");
  EXPECT_EQ(ColumnWidths(), (std::vector<int>{520, 150, 75}));
}

TEST_F(MainPagesTest, ScanThenResultsThenBackToSettings) {
  main().lbCurrentPath->SetCaption("C:\\old");
  EnterScanningPage();
  ExpectScanningPage();

  // A cleaning run widens the status column; the end of the scan must not change it.
  main().lvFound->Add()->SetCaption("C:\\Temp\\a.tmp");
  main().ShowScanningPage(false);
  main().ShowResultsPage(true);
  ExpectResultsPage();
  ExpectVisible({main().lbCurrentPosition, main().lbCurrentPath}, false);
  EXPECT_EQ(ColumnWidths(), (std::vector<int>{520, 150, 0}));
  main().lvFound->SetColumnWidth(0, 370);
  main().lvFound->SetColumnWidth(2, 150);
  main().ShowResultsPage(true);
  EXPECT_EQ(ColumnWidths(), (std::vector<int>{370, 150, 150}));

  main().btnBacktoSettings->DoClick();
  ExpectSettingsPage();
  EXPECT_EQ(main().lvFound->Count(), 1) << "rows stay until the next scan clears them";

  // A new scan lays the list out for scanning again.
  EnterScanningPage();
  ExpectScanningPage();
}

// "Stop Scanning" hides the current path itself: the results page leaves it alone.
TEST_F(MainPagesTest, ResultsPageStraightFromScanningLeavesTheCurrentPathAlone) {
  EnterScanningPage();
  main().ShowResultsPage(true);
  ExpectResultsPage();
  ExpectVisible({main().lbCurrentPosition, main().lbCurrentPath}, true);
}

TEST_F(MainPagesTest, EveryPageLoadsItsBackgroundWhateverTheArgument) {
  main().ShowScanningPage(false);
  EXPECT_EQ(main().imgBody->PictureFile(), Image("scanning.jpg"));
  main().ShowResultsPage(false);
  EXPECT_EQ(main().imgBody->PictureFile(), Image("results.jpg"));
  main().ShowSettingsPage(false);
  EXPECT_EQ(main().imgBody->PictureFile(), Image("settings.jpg"));
  ExpectVisible(SettingsControls(), false);
}

TEST_F(MainPagesTest, AMissingBackgroundFailsNamingTheFileAndLeavesThePageAsItWas) {
  env.fake.files.DeleteFile(Image("scanning.jpg"));
  try {
    main().ShowScanningPage(true);
    FAIL() << "no error";
  } catch (const platform::Exception& e) {
    EXPECT_NE(std::string(e.what()).find(Image("scanning.jpg")), std::string::npos) << e.what();
  }
  ExpectSettingsPage();
}

TEST_F(MainPagesTest, StartImageFollowsThePointerAndTheReleaseStartsAScan) {
  int scans = 0;
  main().btnStart->OnClick = [&](ui::TControl*) { ++scans; };
  ui::TImage& start = *main().imgStart;
  // The words on the picture let the pointer through to it, and move with its pressed face.
  ui::TLabel& words = *main().lbStartScan;
  EXPECT_FALSE(words.HitTest());
  const ui::TRect rest = words.BoundsRect();

  start.DoMouseEnter();
  EXPECT_EQ(start.PictureFile(), Image("start_hover.jpg"));
  start.DoMouseDown(ui::TMouseButton::mbLeft, 10, 10);
  EXPECT_EQ(start.PictureFile(), Image("start_clicked.jpg"));
  EXPECT_EQ(words.Left(), rest.Left + 2);
  EXPECT_EQ(words.Top(), rest.Top + 2);
  EXPECT_EQ(scans, 0);
  start.DoMouseUp(ui::TMouseButton::mbLeft, 10, 10);
  EXPECT_EQ(start.PictureFile(), Image("start_hover.jpg"));
  EXPECT_EQ(words.BoundsRect(), rest);
  EXPECT_EQ(scans, 1);

  // Any button starts one; while btnStart is disabled (a scan runs) the release starts nothing.
  start.DoMouseDown(ui::TMouseButton::mbRight, 1, 1);
  start.DoMouseUp(ui::TMouseButton::mbRight, 1, 1);
  EXPECT_EQ(scans, 2);
  main().btnStart->SetEnabled(false);
  start.DoMouseDown(ui::TMouseButton::mbLeft, 1, 1);
  start.DoMouseUp(ui::TMouseButton::mbLeft, 1, 1);
  EXPECT_EQ(scans, 2);
  main().btnStart->SetEnabled(true);

  // A release without a press on the image (dragged in from elsewhere) starts nothing, and
  // neither does a press that left the image before the release.
  start.DoMouseUp(ui::TMouseButton::mbLeft, 1, 1);
  start.DoMouseDown(ui::TMouseButton::mbLeft, 1, 1);
  start.DoMouseLeave();
  EXPECT_EQ(start.PictureFile(), Image("start_inactive.jpg"));
  EXPECT_EQ(words.BoundsRect(), rest);
  start.DoMouseUp(ui::TMouseButton::mbLeft, 1, 1);
  EXPECT_EQ(scans, 2);
  EXPECT_TRUE(env.backend.errors.empty()) << env.backend.errors.front();
}

TEST_F(MainPagesTest, CategoryHintShowsWhileThePointerIsOverTheBox) {
  TfrmMain& m = main();
  const std::vector<std::pair<ui::TCheckBox*, std::string>> hints = {
      {m.cbRecycleBin, GarbageCategories()[kCategoryRecycle].hint},
      {m.cbTempFoldersAndFiles, GarbageCategories()[kCategoryTemp].hint},
      {m.cbInternetCache, GarbageCategories()[kCategoryInternetCache].hint},
      {m.cbImgCaches, GarbageCategories()[kCategoryImagesDatabases].hint},
      {m.cbLogFiles, GarbageCategories()[kCategoryLogs].hint},
      {m.cbWUBackup, GarbageCategories()[kCategoryWindowsUpdateBackups].hint}};
  std::set<std::string> distinct;
  for (const auto& [box, text] : hints) distinct.insert(text);
  EXPECT_EQ(distinct.size(), hints.size()) << "each box shows its own category's hint";
  for (const auto& [box, text] : hints) {
    box->DoMouseEnter();
    EXPECT_EQ(m.lbHint->Caption(), text) << box->Name();
    EXPECT_TRUE(m.panelHint->Visible()) << box->Name();
    EXPECT_FALSE(m.lbHintPlaceholder->Visible()) << "the card shows one text at a time";
    box->DoMouseLeave();
    EXPECT_EQ(m.lbHint->Caption(), "") << box->Name();
    EXPECT_FALSE(m.panelHint->Visible()) << box->Name();
    EXPECT_TRUE(m.lbHintPlaceholder->Visible()) << box->Name();
  }
  // Straight from one box to the next, the first box's leave reported last: the next one's hint stays.
  m.cbRecycleBin->DoMouseEnter();
  m.cbInternetCache->DoMouseEnter();
  m.cbRecycleBin->DoMouseLeave();
  EXPECT_EQ(m.lbHint->Caption(), GarbageCategories()[kCategoryInternetCache].hint);
  EXPECT_TRUE(m.panelHint->Visible());
  m.cbInternetCache->DoMouseLeave();
  EXPECT_FALSE(m.panelHint->Visible());
  // The page change hides a panel left open (a leave that never came).
  m.cbLogFiles->DoMouseEnter();
  EnterScanningPage();
  EXPECT_FALSE(m.panelHint->Visible());
  // A leave reported after the page changed brings no placeholder onto another page.
  m.cbLogFiles->DoMouseLeave();
  EXPECT_FALSE(m.lbHintPlaceholder->Visible());
}

TEST_F(MainPagesTest, LinksTurnRedUnderThePointerAndOpenTheirDialogs) {
  for (ui::TLabel* link : {main().lbAdvancedOptions, main().lbAbout}) {
    EXPECT_EQ(link->Font().Color, ui::clBlue) << link->Name();
    EXPECT_TRUE(link->Font().Underline) << link->Name();
    EXPECT_EQ(link->Cursor(), ui::TCursor::crHandPoint) << link->Name();
    link->DoMouseEnter();
    EXPECT_EQ(link->Font().Color, ui::clRed) << link->Name();
    link->DoMouseLeave();
    EXPECT_EQ(link->Font().Color, ui::clBlue) << link->Name();
  }
  main().lbAdvancedOptions->DoClick();
  main().lbAbout->DoClick();
  EXPECT_EQ(env.backend.modal_forms, (std::vector<std::string>{"frmOptions", "frmAbout"}));
}

TEST_F(MainPagesTest, DoubleClickOpensTheSelectedRowOnly) {
  ui::TListView& list = *main().lvFound;
  main().ShowResultsPage(true);
  list.Add()->SetCaption("C:\\Temp\\one.tmp");
  list.Add()->SetCaption("C:\\Temp\\Folder");
  list.DoDblClick();
  EXPECT_TRUE(env.fake.shell.executed.empty());
  list.UserSelected(1);
  list.DoDblClick();
  ASSERT_EQ(env.fake.shell.executed.size(), 1u);
  EXPECT_EQ(env.fake.shell.executed[0], (std::pair<std::string, std::string>{"", "C:\\Temp\\Folder"}));
}

TEST_F(MainPagesTest, TimerTrimsEveryTenthTickAndWritesEachTick) {
  ASSERT_EQ(main().execTimer->Interval(), 1000u);
  ASSERT_FALSE(main().execTimer->Enabled());
  const int trims_before = env.fake.system.trims;
  std::vector<std::string> expected;
  for (int tick = 1; tick <= 35; ++tick) {
    main().execTimer->DoTimer();
    expected.push_back("timer: " + std::to_string(tick));
    EXPECT_EQ(env.fake.system.trims - trims_before, tick / 10) << "tick " << tick;
  }
  EXPECT_EQ(env.fake.debug.Lines(), expected);
  EXPECT_EQ(main().TimerTicks, 35);
}

}  // namespace
