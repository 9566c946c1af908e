// A scan and a cleaning run of planted garbage, end to end through the real window under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"

namespace {

class ScanCleanGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettingsFile();
    CreateDirectoryA("C:\\windows\\Temp", nullptr);
    CreateDirectoryA(kFolder.c_str(), nullptr);
    CreateDirectoryA(kKeepFolder.c_str(), nullptr);
    WriteBytes(kBig, 10000);
    WriteBytes(kSmall, 100);
    WriteBytes(kFolder + "\\inner.tmp", 8000);
    WriteBytes(kLog, 5000);
    std::ofstream(kKeep, std::ios::binary) << "not garbage";
  }
  void TearDown() override {
    DeleteFileA(kKeep.c_str());
    RemoveDirectoryA(kKeepFolder.c_str());
    DeleteFileA(kSmall.c_str());
  }

  const std::string kBig = "C:\\windows\\Temp\\cxe2e-big.tmp";
  const std::string kSmall = "C:\\windows\\Temp\\cxe2e-small.tmp";
  const std::string kFolder = "C:\\windows\\Temp\\cxe2e-folder";
  const std::string kLog = "C:\\windows\\cxe2e.log";
  const std::string kKeepFolder = "C:\\cxe2e-keep";
  const std::string kKeep = "C:\\cxe2e-keep\\keep.tmp";
};

TEST_F(ScanCleanGuiTest, PlantedGarbageIsListedThenCleanedAndNothingElseIsTouched) {
  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);

  HWND clean_all = FindChild(main, "Clean All");
  HWND clean_selected = FindChild(main, "Clean Selected");
  ASSERT_TRUE(clean_all && clean_selected);
  HWND list = ScanToResults(main);
  ASSERT_NE(list, nullptr) << "the scan reaches the results page";
  auto rows = ListViewRows(list, 3);
  const auto* big = FindRow(rows, kBig);
  const auto* folder = FindRow(rows, kFolder);
  const auto* log = FindRow(rows, kLog);
  ASSERT_TRUE(big && folder && log) << rows.size() << " rows";
  EXPECT_EQ((*big)[1], "0.0095367");
  EXPECT_EQ((*folder)[1], "0.0076294");  // a folder counts everything in it
  EXPECT_EQ((*log)[1], "0.0047684");
  EXPECT_EQ((*big)[2], "Queued...");
  EXPECT_EQ(FindRow(rows, kSmall), nullptr) << "below the noise level";
  EXPECT_EQ(FindRow(rows, kKeep), nullptr);
  HWND found_label = FindChildAt(main, "CxLabel", 550, 127);
  ASSERT_NE(found_label, nullptr);
  EXPECT_EQ(WindowText(found_label).rfind(std::to_string(rows.size()) + " ( ", 0), 0u) << WindowText(found_label);

  // Clean only the big file first.
  const int big_row = static_cast<int>(big - rows.data());
  ASSERT_TRUE(SetListViewChecked(list, big_row, true));
  PostMessageA(clean_selected, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] {
    auto now = ListViewRows(list, 3);
    const auto* row = FindRow(now, kBig);
    return row && (*row)[2] == "File Deleted" && IsWindowEnabled(clean_all);
  }));
  EXPECT_FALSE(PathExists(kBig));
  EXPECT_TRUE(PathExists(kLog)) << "not ticked";
  EXPECT_EQ((*FindRow(ListViewRows(list, 3), kLog))[2], "Queued...");

  PostMessageA(clean_all, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] {
    auto now = ListViewRows(list, 3);
    const auto* row = FindRow(now, kLog);
    return row && (*row)[2] == "File Deleted" && IsWindowEnabled(clean_all);
  }));
  auto after = ListViewRows(list, 3);
  EXPECT_EQ((*FindRow(after, kFolder))[2], "Folder Deleted");
  EXPECT_FALSE(PathExists(kFolder)) << "moved to the Recycle Bin";
  EXPECT_FALSE(PathExists(kLog));
  EXPECT_TRUE(PathExists(kSmall)) << "never listed, so never cleaned";
  EXPECT_EQ(ReadAll(kKeep), "not garbage");

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
}

}  // namespace
