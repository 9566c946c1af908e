// Today's garbage under Wine: the real program, with the shipped rules and every category ticked,
// lists the caches, logs and leftovers of today's browsers and of the programs people run (chat
// and meeting apps, music, games, graphics drivers, developer tools), error reports, crash dumps
// and the update caches, laid out as on Windows 10 and 11 with their real folder names; "Clean
// All" (with stand-ins of Chrome and Discord running, which the check catches) removes them, and
// what users keep beside them, and behind a link inside a cache, stays byte for byte.
#include <windows.h>
// windows.h first: shlobj.h needs its types.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/support/todays_layout.h"
#include "tests/wine/support/fake_browser.h"
#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/screenshot.h"
#include "tests/wine/support/unix_side.h"

namespace {

std::string Folder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::string BaseFolder(todays_layout::Base base) {
  switch (base) {
    case todays_layout::kLocalAppData:
      return Folder(CSIDL_LOCAL_APPDATA);
    case todays_layout::kRoamingAppData:
      return Folder(CSIDL_APPDATA);
    case todays_layout::kLocalLow: {
      const std::string local = Folder(CSIDL_LOCAL_APPDATA);
      return local.substr(0, local.rfind('\\')) + "\\LocalLow";
    }
    case todays_layout::kUserProfile:
      return Folder(CSIDL_PROFILE);
    case todays_layout::kSystemDrive:
      return "C:";
    case todays_layout::kProgramData:
      return Folder(CSIDL_COMMON_APPDATA);
    case todays_layout::kWindows:
      break;
  }
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  return windows;
}

std::string PathOf(const todays_layout::Entry& entry) { return BaseFolder(entry.base) + "\\" + entry.path; }

bool Final(const std::string& status) { return status != "Queued..." && status != "Processing..."; }

class TodaysLayoutWine : public ::testing::Test {
 protected:
  void SetUp() override {
    TearDown();
    std::ofstream(SettingsFilePath(), std::ios::binary | std::ios::trunc)
        << "[Scan]\r\nNoiseLevel=0\r\nRecycleBin=1\r\nTempFoldersAndFiles=1\r\nInternetCache=1\r\nImgCaches=1\r\n"
           "LogFiles=1\r\nWUBackup=1\r\n";
  }
  void TearDown() override {
    RemoveUnixLink(PathOf(todays_layout::kLinkInCache));
    for (const todays_layout::Entry& planted : todays_layout::kPlantedRoots) RemoveTree(PathOf(planted));
    ResetSettingsFile();
  }
};

TEST_F(TodaysLayoutWine, GarbageIsListedAndCleanedTheRunningProgramsAreCaughtAndKeepersStay) {
  std::vector<std::string> garbage;
  size_t bytes = 3000;
  for (const todays_layout::Entry& entry : todays_layout::kGarbage) {
    std::string path = PathOf(entry);
    bytes += 1000;  // every row a size of its own
    if (path.back() == '\\') {
      path.pop_back();
      MakeFolders(path);
      WriteBytes(path + "\\" + todays_layout::kInside, bytes);
    } else {
      MakeFolders(path.substr(0, path.rfind('\\')));
      WriteBytes(path, bytes);
    }
    garbage.push_back(path);
  }
  std::map<std::string, std::string> keepers;
  for (const todays_layout::Entry& entry : todays_layout::kKeepers) {
    const std::string path = PathOf(entry);
    MakeFolders(path.substr(0, path.rfind('\\')));
    keepers[path] = "kept: " + path;
    WriteText(path, keepers[path]);
  }
  const std::string link = PathOf(todays_layout::kLinkInCache);
  ASSERT_TRUE(MakeFolderLink(link, PathOf(todays_layout::kLinkTarget)));
  HANDLE chrome = StartFakeBrowser("chrome.exe");
  ASSERT_NE(chrome, nullptr);
  HANDLE discord = StartFakeBrowser("Discord.exe");
  ASSERT_NE(discord, nullptr);

  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  HWND list = ScanToResults(main);
  ASSERT_NE(list, nullptr);
  auto rows = ListViewRows(list, 3);
  for (const std::string& path : garbage) EXPECT_NE(FindRow(rows, path), nullptr) << path << " is listed";
  for (const auto& [path, content] : keepers)
    for (const auto& row : rows) EXPECT_NE(path.rfind(row[0] + "\\", 0), 0u) << row[0] << " holds " << path;
  ScreenshotWhenPainted(main, list, "todays-layout-results");

  HWND clean_all = FindChild(main, "Clean All");
  PostMessageA(clean_all, BM_CLICK, 0, 0);
  HWND dialog = program.WaitForWindow("Applications");
  ASSERT_NE(dialog, nullptr) << "the running Chrome and Discord are caught";
  std::vector<std::string> caught = ListBoxItems(FindChildAt(dialog, "ListBox", 48, 64));
  std::sort(caught.begin(), caught.end());  // in the order of the process list
  EXPECT_EQ(caught, (std::vector<std::string>{"Discord", "Google Chrome"}));
  PostMessageA(FindChild(dialog, "Close and Continue"), BM_CLICK, 0, 0);
  EXPECT_EQ(WaitForSingleObject(chrome, 30000), static_cast<DWORD>(WAIT_OBJECT_0)) << "chrome.exe was ended";
  EXPECT_EQ(WaitForSingleObject(discord, 30000), static_cast<DWORD>(WAIT_OBJECT_0)) << "Discord.exe was ended";
  EXPECT_TRUE(WaitUntil(
      [&] {
        rows = ListViewRows(list, 3);
        for (const auto& row : rows)
          if (!Final(row[2])) return false;
        return IsWindowEnabled(clean_all) != FALSE;
      },
      180000));
  for (const std::string& path : garbage) {
    const auto* row = FindRow(rows, path);
    ASSERT_NE(row, nullptr) << path;
    if (link.starts_with(path + "\\")) {
      // Its own files go; the link stays, and so does the folder that holds it.
      EXPECT_EQ((*row)[2], "Partial Delete ( 100% )") << path;
      EXPECT_FALSE(PathExists(path + "\\" + todays_layout::kInside));
      EXPECT_TRUE(IsReparsePoint(link));
      continue;
    }
    EXPECT_TRUE((*row)[2] == "File Deleted" || (*row)[2] == "Folder Deleted") << path << ": " << (*row)[2];
    EXPECT_FALSE(PathExists(path)) << path;
  }
  for (const auto& [path, content] : keepers) EXPECT_EQ(ReadAll(path), content) << path;
  ScreenshotWhenPainted(main, list, "todays-layout-cleaned");

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
  EndFakeBrowser(chrome);
  EndFakeBrowser(discord);
}

}  // namespace
