// The age filter, the exclusions and the sorting of the results in the real program under Wine:
// planted files with set times, a folder excluded by the options, a header click on the list.
#include <windows.h>
// windows.h first: shlobj.h and commctrl.h need its types.
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/screenshot.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

std::string LocalTemp() {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
  return std::string(path) + "\\Temp";
}

void WriteSettings(const std::string& text) {
  std::ofstream(SettingsFilePath(), std::ios::binary | std::ios::trunc) << text;
}

// Only the temp folders are scanned, every object is listed, objects changed within 10 days are
// left alone, and so is one folder and one kind of file.
std::string FilterSettings(const std::string& temp) {
  return "[Scan]\r\nNoiseLevel=0\r\nRecycleBin=0\r\nTempFoldersAndFiles=1\r\nInternetCache=0\r\nImgCaches=0\r\n"
         "LogFiles=0\r\nWUBackup=0\r\nMinAgeDays=10\r\n[Exclusions]\r\nItem1=" +
         temp + "\\cxfilt-keep\r\nItem2=*.cxkeep\r\n";
}

double RowMegabytes(const std::string& size) {
  if (size.find("Bytes") != std::string::npos) return std::atof(size.c_str()) / 1048576.0;
  return std::atof(size.c_str());
}

// Our planted rows, in list order.
std::vector<std::string> Ours(const Rows& rows) {
  std::vector<std::string> ours;
  for (const auto& row : rows)
    if (row[0].find("cxfilt-") != std::string::npos) ours.push_back(row[0].substr(row[0].rfind('\\') + 1));
  return ours;
}

// A click on a header item of a list view, `x` pixels from the header's left edge.
void ClickHeader(HWND list, int x) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 8));
  PostMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(x, 8));
}

constexpr char kListView[] = "SysListView32";
constexpr char kEdit[] = "Edit";

// The visible child windows of a class.
template <const char* kClass>
BOOL CALLBACK CollectVisible(HWND window, LPARAM param) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (IsWindowVisible(window) && std::string(name) == kClass)
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

TEST(FiltersSortGuiWine, OldObjectsAreListedSortedAndCleanedWhileFreshAndExcludedOnesStay) {
  const std::string temp = LocalTemp();
  // Each planted object, by name below temp, with its size and age in days.
  struct Planted {
    std::string name;
    size_t bytes;
    int days;
  };
  const std::vector<Planted> files = {
      {"cxfilt-old.tmp", 7000, 20},       {"cxfilt-fresh.tmp", 8000, 2},
      {"cxfilt-olddir\\a.bin", 9000, 30}, {"cxfilt-freshdir\\deep\\b.bin", 10000, 1},
      {"cxfilt-keep\\x.bin", 11000, 40},  {"cxfilt-keeper\\y.bin", 12000, 40},
      {"cxfilt-notes.cxkeep", 13000, 40}, {"cxfilt-small.tmp", 100, 15},
  };
  // The planted objects are children of the user's temp folder itself, which is the prefix's own
  // and stays; they are removed before (a crashed run may have left them) and after.
  struct Cleanup {
    std::string temp;
    void Run() const {
      for (const char* name : {"cxfilt-olddir", "cxfilt-freshdir", "cxfilt-keep", "cxfilt-keeper", "cxfilt-old.tmp",
                               "cxfilt-fresh.tmp", "cxfilt-notes.cxkeep", "cxfilt-small.tmp"})
        RemoveTree(temp + "\\" + name);
    }
    ~Cleanup() { Run(); }
  } cleanup{temp};
  cleanup.Run();
  for (const Planted& p : files) {
    const std::string path = temp + "\\" + p.name;
    MakeFolders(path.substr(0, path.rfind('\\')));
    WriteBytes(path, p.bytes);
    ASSERT_TRUE(AgePath(path, p.days)) << path;
  }
  // Folders last, as writing into them made them fresh.
  for (const char* folder :
       {"cxfilt-olddir", "cxfilt-freshdir\\deep", "cxfilt-freshdir", "cxfilt-keep", "cxfilt-keeper"})
    ASSERT_TRUE(AgePath(temp + "\\" + folder, 30)) << folder;
  WriteSettings(FilterSettings(temp));

  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  HWND clean_all = FindChild(main, "Clean All");
  ASSERT_NE(clean_all, nullptr);
  HWND list = ScanToResults(main);
  ASSERT_NE(list, nullptr) << "the results page";

  // Only the old objects outside the exclusions (in the order found, which is the listing's).
  Rows rows = ListViewRows(list, 3);
  std::vector<std::string> listed = Ours(rows);
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"cxfilt-keeper", "cxfilt-old.tmp", "cxfilt-olddir", "cxfilt-small.tmp"}))
      << rows.size() << " rows";

  // "Size on Disk" (x from 520 to 670): largest first by bytes, then reversed.
  ClickHeader(list, 595);
  ASSERT_TRUE(WaitUntil(
      [&] {
        return Ours(ListViewRows(list, 3)) ==
               std::vector<std::string>{"cxfilt-keeper", "cxfilt-olddir", "cxfilt-old.tmp", "cxfilt-small.tmp"};
      },
      10000))
      << "sorted by size";
  rows = ListViewRows(list, 3);
  for (size_t i = 1; i < rows.size(); ++i)
    EXPECT_GE(RowMegabytes(rows[i - 1][1]), RowMegabytes(rows[i][1])) << rows[i - 1][0] << " before " << rows[i][0];
  ScreenshotWhenPainted(main, list, "results-sorted-by-size");
  ClickHeader(list, 595);
  ASSERT_TRUE(WaitUntil(
      [&] {
        return Ours(ListViewRows(list, 3)) ==
               std::vector<std::string>{"cxfilt-small.tmp", "cxfilt-old.tmp", "cxfilt-olddir", "cxfilt-keeper"};
      },
      10000))
      << "the second click reverses";

  // Cleaning in the sorted list: each row gets its own outcome.
  PostMessageA(clean_all, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil(
      [&] {
        const Rows now = ListViewRows(list, 3);
        const auto* row = FindRow(now, temp + "\\cxfilt-keeper");
        return row && (*row)[2] == "Folder Deleted" && IsWindowEnabled(clean_all);
      },
      120000));
  rows = ListViewRows(list, 3);
  EXPECT_EQ((*FindRow(rows, temp + "\\cxfilt-old.tmp"))[2], "File Deleted");
  EXPECT_EQ((*FindRow(rows, temp + "\\cxfilt-small.tmp"))[1], "100 Bytes");
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());

  for (const char* gone : {"cxfilt-old.tmp", "cxfilt-olddir", "cxfilt-keeper", "cxfilt-small.tmp"})
    EXPECT_FALSE(PathExists(temp + "\\" + gone)) << gone;
  for (const char* kept :
       {"cxfilt-fresh.tmp", "cxfilt-freshdir\\deep\\b.bin", "cxfilt-keep\\x.bin", "cxfilt-notes.cxkeep"})
    EXPECT_TRUE(PathExists(temp + "\\" + kept)) << kept;
  ResetSettingsFile();
}

TEST(FiltersSortGuiWine, OptionsShowAndStoreTheAgeAndTheExclusions) {
  const std::string temp = LocalTemp();
  WriteSettings(FilterSettings(temp));
  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  HWND options = OpenOptionsDialog(program, main);
  ASSERT_NE(options, nullptr);

  // The dialog opens on "Other", where both settings are.
  HWND age = FindChild(options, "10");
  ASSERT_NE(age, nullptr) << "the age box shows the stored 10 days";
  std::vector<HWND> lists;
  EnumChildWindows(options, CollectVisible<kListView>, reinterpret_cast<LPARAM>(&lists));
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_EQ(ListViewRows(lists[0], 1), (Rows{{temp + "\\cxfilt-keep"}, {"*.cxkeep"}}));

  SendMessageA(age, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("45"));
  HWND add = FindChild(options, "&Add");
  ASSERT_NE(add, nullptr);
  // The entry box: the one empty edit box on the tab.
  std::vector<HWND> edits;
  EnumChildWindows(options, CollectVisible<kEdit>, reinterpret_cast<LPARAM>(&edits));
  std::erase_if(edits, [](HWND edit) { return !WindowText(edit).empty(); });
  ASSERT_EQ(edits.size(), 1u);
  HWND entry = edits[0];
  SendMessageA(entry, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("C:\\cxfilt-data\\"));
  ClickControl(add);
  ASSERT_TRUE(WaitUntil([&] { return ListViewRows(lists[0], 1).size() == 3; }, 10000));
  Screenshot("options-age-and-exclusions");

  // The folder picker: cancelled, it adds nothing; its OK adds the folder it shows chosen, which
  // exists as a folder of the disk.
  HWND picker_button = FindChild(options, "&Folder...");
  ASSERT_NE(picker_button, nullptr);
  for (const char* button : {"Cancel", "OK"}) {
    SCOPED_TRACE(button);
    ClickControl(picker_button);
    HWND picker = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (picker = ProgramDialog(program.id(), options)) != nullptr; }, 20000));
    HWND press = FindChild(picker, button);
    ASSERT_NE(press, nullptr);
    if (std::string(button) == "OK") Screenshot("options-folder-picker");
    PostMessageA(press, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(picker) || !IsWindowVisible(picker); }, 10000));
  }
  Rows rows;
  ASSERT_TRUE(WaitUntil([&] { return (rows = ListViewRows(lists[0], 1)).size() == 4; }, 10000))
      << "Cancel added nothing and OK one folder";
  const DWORD chosen = GetFileAttributesA(rows[3][0].c_str());
  EXPECT_TRUE(chosen != INVALID_FILE_ATTRIBUTES && (chosen & FILE_ATTRIBUTE_DIRECTORY)) << rows[3][0];

  ClickControl(FindChild(options, "&OK"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(options); }, 10000));
  const std::string file = ReadAll(SettingsFilePath());
  EXPECT_NE(file.find("MinAgeDays=45\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("[Exclusions]\r\nItem1=" + temp +
                      "\\cxfilt-keep\r\nItem2=*.cxkeep\r\nItem3=C:\\cxfilt-data\r\nItem4=" + rows[3][0] + "\r\n"),
            std::string::npos)
      << file;
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
  ResetSettingsFile();
}

}  // namespace
