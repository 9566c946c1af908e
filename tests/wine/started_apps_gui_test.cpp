// The running-applications check of a cleaning run, through the real windows under Wine, with a
// stand-in firefox.exe from the build folder.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/wine/support/fake_browser.h"
#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"

namespace {

TEST(StartedAppsGuiTest, ARunningFirefoxIsListedCancelDeletesNothingAndCloseAndContinueEndsIt) {
  ResetSettingsFile();
  const std::string garbage = "C:\\windows\\Temp\\cxe2e-apps.tmp";
  std::ofstream(garbage, std::ios::binary) << std::string(9000, 'g');
  HANDLE firefox = StartFakeBrowser("firefox.exe");
  ASSERT_NE(firefox, nullptr);

  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  ClickControl(StartPicture(main));
  HWND clean_all = FindChild(main, "Clean All");
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(clean_all) && IsWindowEnabled(clean_all); }, 120000));

  PostMessageA(clean_all, BM_CLICK, 0, 0);
  HWND dialog = program.WaitForWindow("Applications");
  ASSERT_NE(dialog, nullptr);
  HWND list = FindChildAt(dialog, "ListBox", 48, 64);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListBoxItems(list), std::vector<std::string>{"Mozilla Firefox"});
  PostMessageA(FindChild(dialog, "Cancel"), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog) && IsWindowEnabled(clean_all); }));
  EXPECT_TRUE(PathExists(garbage)) << "Cancel starts no deletion";
  EXPECT_EQ(WaitForSingleObject(firefox, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "and closes nothing";

  PostMessageA(clean_all, BM_CLICK, 0, 0);
  dialog = program.WaitForWindow("Applications");
  ASSERT_NE(dialog, nullptr);
  PostMessageA(FindChild(dialog, "Close and Continue"), BM_CLICK, 0, 0);
  EXPECT_EQ(WaitForSingleObject(firefox, 30000), static_cast<DWORD>(WAIT_OBJECT_0)) << "firefox.exe was ended";
  EXPECT_TRUE(WaitUntil([&] { return !PathExists(garbage); })) << "and the run went on";

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
  EndFakeBrowser(firefox);
  DeleteFileA(garbage.c_str());
}

}  // namespace
