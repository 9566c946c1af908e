// Closing the real window while a worker runs: the program ends at once and cleanly, a scan's
// settings are saved as at any close, and a cleaning run deletes nothing after its current item.
#include <gtest/gtest.h>

#include <string>

#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"

namespace {

constexpr int kFiles = 3000;

// Files of the Temp category in the Windows temp folder (its rule lists that folder's files),
// each above the noise level.
class CloseGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettingsFile();
    MakeFolders("C:\\windows\\Temp");
    for (int i = 0; i < kFiles; ++i) WriteBytes(Name(i), 5000);
  }
  void TearDown() override {
    for (int i = 0; i < kFiles; ++i) DeleteFileA(Name(i).c_str());
  }
  static std::string Name(int i) { return "C:\\windows\\Temp\\cxclose-" + std::to_string(10000 + i) + ".tmp"; }

  int FilesLeft() const {
    int left = 0;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA("C:\\windows\\Temp\\cxclose-*.tmp", &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do ++left;
    while (FindNextFileA(find, &data));
    FindClose(find);
    return left;
  }
};

TEST_F(CloseGuiTest, ClosingDuringAScanEndsTheProgramAndSavesTheSettings) {
  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  ClickControl(StartPicture(main));
  HWND stop = FindChild(main, "Stop Scanning");
  ASSERT_TRUE(WaitUntil([&] { return stop && IsWindowVisible(stop) && IsWindowEnabled(stop); }));

  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);
  EXPECT_NE(ReadAll(SettingsFilePath()).find("[Scan]"), std::string::npos);
  EXPECT_EQ(FilesLeft(), kFiles);
}

TEST_F(CloseGuiTest, ClosingDuringCleaningEndsTheProgramAndStopsTheDeleting) {
  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  ClickControl(StartPicture(main));
  HWND clean_all = FindChild(main, "Clean All");
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(clean_all) && IsWindowEnabled(clean_all); }, 300000));

  PostMessageA(clean_all, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return FilesLeft() < kFiles - 50; }));
  PostMessageA(main, WM_CLOSE, 0, 0);
  const int left_at_close = FilesLeft();
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);
  // Between the count and the close the worker goes on for a moment (a fast one deletes hundreds
  // of files a second); after it, nothing more.
  const int left = FilesLeft();
  EXPECT_GT(left, left_at_close - kFiles / 4) << "the worker kept deleting after the window closed";
  EXPECT_GT(left, 0);
}

}  // namespace
