// The options dialog through the real window under Wine: what OK stores in general.conf and in
// the Run key, and what the next start does with it.
#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"

namespace {

bool RunValueExists() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_READ, &key))
    return false;
  const bool found = RegQueryValueExA(key, "Clutterix", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  return found;
}

TEST(OptionsGuiTest, OkStoresTheChoicesAndTheNextStartUsesThem) {
  {
    GuiProgram program;
    HWND main = StartMainWindow(program);
    ASSERT_NE(main, nullptr);
    HWND options = OpenOptionsDialog(program, main);
    ASSERT_NE(options, nullptr);
    HWND noise = FindChild(options, "4096");
    ASSERT_NE(noise, nullptr) << "the noise-level edit";
    SendMessageA(noise, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("2048"));
    SetCheckBox(FindChild(options, "Autostart with Windows"), true);
    SetCheckBox(FindChild(options, "Start scan after loading"), true);
    PostMessageA(FindChild(options, "&OK"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(options); }));

    const std::string conf = ReadAll(SettingsFilePath());
    EXPECT_NE(conf.find("NoiseLevel=2048\r\n"), std::string::npos) << conf;
    EXPECT_NE(conf.find("AutoStartScan=1\r\n"), std::string::npos) << conf;
    EXPECT_TRUE(RunValueExists());
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
  }
  {
    // "Start scan after loading": the scan starts by itself once the window is up.
    GuiProgram program;
    HWND main = StartMainWindow(program);
    ASSERT_NE(main, nullptr);
    HWND clean_all = FindChild(main, "Clean All");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(clean_all) && IsWindowEnabled(clean_all); }, 120000));
    // The link lies on the settings page; a hidden control takes no clicks.
    PostMessageA(FindChild(main, "Back to Settings"), BM_CLICK, 0, 0);
    HWND link = FindChild(main, "Advanced Options");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(link); }));
    HWND options = OpenOptionsDialog(program, main);
    ASSERT_NE(options, nullptr);
    EXPECT_NE(FindChild(options, "2048"), nullptr) << "the stored noise level is shown";
    HWND autostart = FindChild(options, "Autostart with Windows");
    EXPECT_EQ(SendMessageA(autostart, BM_GETCHECK, 0, 0), BST_CHECKED);
    SetCheckBox(autostart, false);
    SetCheckBox(FindChild(options, "Start scan after loading"), false);
    SendMessageA(FindChild(options, "2048"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("4096"));
    PostMessageA(FindChild(options, "&OK"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(options); }));
    EXPECT_FALSE(RunValueExists());
    EXPECT_NE(ReadAll(SettingsFilePath()).find("AutoStartScan=0\r\n"), std::string::npos);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
  }
}

}  // namespace
