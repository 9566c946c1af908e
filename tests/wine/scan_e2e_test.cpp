// A scan through the real window under Wine: garbage of every category planted where Windows 6.x
// keeps it, ordinary files beside it, the start picture clicked, and the rows read back.
#include <windows.h>
// windows.h first: shlobj.h needs its types.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/screenshot.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Every planted name carries this mark, so that the prefix's own garbage cannot be mistaken for it.
constexpr const char* kMark = "cxscan";

std::string Folder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

// A file of `size` bytes, with its folders made first.
void PlantBytes(const std::string& path, size_t size) {
  MakeFolders(path.substr(0, path.rfind('\\')));
  WriteBytes(path, size);
}

// The size text of the results list: bytes up to 4096, else megabytes with 5 significant digits.
std::string SizeText(size_t bytes) {
  if (bytes <= 4096) return std::to_string(bytes) + " Bytes";
  char text[32];
  std::snprintf(text, sizeof text, "%.5g", static_cast<double>(bytes) / 1048576.0);
  return text;
}

// Megabytes of a row's size text ("0.0095367" or "512 Bytes").
double RowMegabytes(const std::string& size) {
  if (size.find("Bytes") != std::string::npos) return std::atof(size.c_str()) / 1048576.0;
  return std::atof(size.c_str());
}

// A message box of the program (the general error display), if one is open.
std::string OpenMessageBox(const GuiProgram& program) {
  HWND box = ProgramDialog(program.id());
  if (box == nullptr) return "";
  HWND text = FindWindowExA(box, nullptr, "Static", nullptr);
  while (text != nullptr && WindowText(text).empty()) text = FindWindowExA(box, text, "Static", nullptr);
  return text ? WindowText(text) : "<message box>";
}

class ScanE2eTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettingsFile(); }  // the defaults, whatever an earlier test stored
  static void SetUpTestSuite() {
    const std::string local = Folder(CSIDL_LOCAL_APPDATA);
    const std::string cache = Folder(CSIDL_INTERNET_CACHE);
    const std::string profile = Folder(CSIDL_PROFILE);
    const std::string windows = Folder(CSIDL_WINDOWS);
    const std::string mark = kMark;
    // Objects by path with their sizes; a folder holds one file of that size.
    garbage_ = {
        {"C:\\$Recycle.Bin\\S-1-5-21-" + mark + "-1000", 20000},
        {windows + "\\Temp\\" + mark + "-w.tmp", 9000},
        {windows + "\\Temp\\" + mark + "-wdir", 6000},
        {local + "\\Temp\\" + mark + "-u.tmp", 7000},
        {local + "\\Temp\\" + mark + "-udir", 4096},
        {cache + "\\Virtualized", 12000},  // a folder of the Internet cache itself
        {windows + "\\" + mark + ".log", 5000},
        {windows + "\\Logs\\CBS\\" + mark + "-cbs.log", 6000},
        {windows + "\\Debug\\UserMode\\" + mark + "-user.log", 6500},
        {windows + "\\Panther\\" + mark + "-setupact.log", 7500},
        {windows + "\\inf\\setupapi." + mark + ".log", 8500},
        {"C:\\$Windows.~BT\\Sources\\Panther\\" + mark + ".log", 9500},
        {windows + "\\system32\\wbem\\Logs\\" + mark + ".log", 10500},
        {local + "\\Microsoft\\Windows\\Explorer\\thumbcache_" + mark + ".db", 30000},
        {profile + "\\Pictures\\" + mark + "-album\\Thumbs.db", 6000},
        {"C:\\" + mark + "-photos\\Thumbs.db", 11000},
        {windows + "\\SoftwareDistribution\\Download\\" + mark + "-update", 50000},
        {windows + "\\SoftwareDistribution\\Download\\" + mark + "-kb.cab", 8000},
    };
    folders_ = {garbage_[0].first, garbage_[2].first, garbage_[4].first, garbage_[5].first, garbage_[16].first};
    below_noise_ = windows + "\\Temp\\" + mark + "-tiny.tmp";
    keep_ = {profile + "\\Documents\\" + mark + "-report.doc",
             profile + "\\Pictures\\" + mark + "-album\\cat.jpg",
             profile + "\\Desktop\\" + mark + "-notes.txt",
             profile + "\\Downloads\\" + mark + "-setup.exe",
             Folder(CSIDL_RECENT) + "\\" + mark + "-report.lnk",
             windows + "\\" + mark + "-keep.ini",
             windows + "\\inf\\" + mark + "-oem.inf",
             windows + "\\Logs\\CBS\\" + mark + ".cab",
             cache + "\\Content.Word\\~WRL" + mark + ".tmp",  // Word's working copy
             windows + "\\SoftwareDistribution\\DataStore\\Logs\\" + mark + "-edb.log",
             local + "\\" + mark + "-app\\settings.dat",
             "C:\\" + mark + "-photos\\img001.jpg",
             "C:\\" + mark + "-data\\server.log"};
    for (const auto& [path, size] : garbage_) {
      const bool folder = std::find(folders_.begin(), folders_.end(), path) != folders_.end();
      PlantBytes(folder ? path + "\\inner.bin" : path, size);
    }
    PlantBytes(below_noise_, 100);
    for (const std::string& path : keep_) PlantBytes(path, 9000);
    // A large tree to stop a scan in: the thumbnail rule walks it looking for Thumbs.db.
    for (int i = 0; i < 40; ++i)
      for (int j = 0; j < 40; ++j)
        PlantBytes("C:\\" + mark + "-big\\d" + std::to_string(i) + "\\e" + std::to_string(j) + "\\x.dat", 10);
  }

  static void TearDownTestSuite() {
    const std::string mark = kMark;
    for (const auto& [path, size] : garbage_) {
      RemoveTree(path);
      DeleteFileA(path.c_str());
    }
    DeleteFileA(below_noise_.c_str());
    for (const std::string& path : keep_) DeleteFileA(path.c_str());
    for (const std::string& folder :
         {"C:\\" + mark + "-big", "C:\\" + mark + "-photos", "C:\\" + mark + "-data",
          Folder(CSIDL_PROFILE) + "\\Pictures\\" + mark + "-album", Folder(CSIDL_LOCAL_APPDATA) + "\\" + mark + "-app"})
      RemoveTree(folder);
  }

  bool Shown(HWND control) { return control && IsWindowVisible(control) && IsWindowEnabled(control); }

  static std::vector<std::pair<std::string, size_t>> garbage_;
  static std::vector<std::string> folders_;
  static std::string below_noise_;
  static std::vector<std::string> keep_;
};

std::vector<std::pair<std::string, size_t>> ScanE2eTest::garbage_;
std::vector<std::string> ScanE2eTest::folders_;
std::string ScanE2eTest::below_noise_;
std::vector<std::string> ScanE2eTest::keep_;

TEST_F(ScanE2eTest, AScanOfTheWholeDriveListsEveryPlantedGarbageObjectAndNothingElseOfOurs) {
  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  HWND start = StartPicture(main);
  ASSERT_NE(start, nullptr);
  HWND stop = FindChild(main, "Stop Scanning");
  HWND clean_all = FindChild(main, "Clean All");
  ASSERT_TRUE(stop && clean_all);

  ClickControl(start);
  ASSERT_TRUE(WaitUntil([&] { return Shown(stop); })) << "the scanning page";
  EXPECT_FALSE(IsWindowVisible(start));
  EXPECT_FALSE(IsWindowEnabled(clean_all));
  Screenshot(main, "scan-scanning-page");
  ASSERT_TRUE(WaitUntil([&] { return Shown(clean_all) || !OpenMessageBox(program).empty(); }, 300000))
      << "the results page";
  EXPECT_EQ(OpenMessageBox(program), "") << "the scan of C: ends without an error";
  // The results page enables the clean buttons before it disables "Stop Scanning": from outside,
  // the second step can still be under way.
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(stop); }, 10000));
  Screenshot(main, "scan-results-page");

  HWND list = ResultsList(main);
  ASSERT_NE(list, nullptr);
  const Rows rows = ListViewRows(list, 3);
  for (const auto& [path, size] : garbage_) {
    const auto* row = FindRow(rows, path);
    if (row == nullptr) {
      ADD_FAILURE() << "not listed: " << path;
      continue;
    }
    EXPECT_EQ((*row)[1], SizeText(size)) << path;
    EXPECT_EQ((*row)[2], "Queued...") << path;
  }
  EXPECT_EQ(FindRow(rows, below_noise_), nullptr) << "below the noise level";
  double shown_mb = 0;
  for (const auto& row : rows) {
    shown_mb += RowMegabytes(row[1]);
    for (const std::string& keep : keep_) {
      const std::string folder = keep.substr(0, keep.rfind('\\'));
      EXPECT_NE(_stricmp(row[0].c_str(), keep.c_str()), 0) << "not garbage: " << keep;
      if (folder.find(kMark) != std::string::npos) {
        EXPECT_NE(_stricmp(row[0].c_str(), folder.c_str()), 0) << "holds what is not garbage: " << folder;
      }
    }
  }

  // "shown ( found )", where the found objects include the one under the noise level; the total
  // counts every found object, so it is at least what the rows show.
  const std::string found = WindowText(FindChildAt(main, "CxLabel", 550, 127));
  const std::string size = WindowText(FindChildAt(main, "CxLabel", 550, 151));
  int shown_count = -1, found_count = -1;
  ASSERT_EQ(std::sscanf(found.c_str(), "%d ( %d )", &shown_count, &found_count), 2) << found;
  EXPECT_EQ(shown_count, static_cast<int>(rows.size()));
  EXPECT_GT(found_count, shown_count);
  ASSERT_TRUE(size.ends_with(" MB")) << size;
  EXPECT_GE(std::atof(size.c_str()), shown_mb * 0.999) << size;

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
}

TEST_F(ScanE2eTest, StopScanningInALargeTreeShowsTheResultsWithWhatWasFound) {
  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  HWND stop = FindChild(main, "Stop Scanning");
  HWND clean_all = FindChild(main, "Clean All");
  HWND back = FindChild(main, "Back to Settings");
  ASSERT_TRUE(stop && clean_all && back);

  ClickControl(StartPicture(main));
  ASSERT_TRUE(WaitUntil([&] { return Shown(stop); })) << "the scanning page";
  HWND current = FindChildAt(main, "CxLabel", 134, 426);  // the folder being searched
  ASSERT_NE(current, nullptr);
  const std::string big = std::string("C:\\") + kMark + "-big\\";
  ASSERT_TRUE(WaitUntil([&] { return _strnicmp(WindowText(current).c_str(), big.c_str(), big.size()) == 0; }, 300000))
      << "the scan reaches the large tree; last folder: " << WindowText(current);
  ASSERT_TRUE(IsWindowEnabled(stop));
  PostMessageA(stop, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return Shown(clean_all); }, 10000)) << "the results page at once";
  // From outside, the page can still be being laid out, and the worker's end lays it out again.
  HWND list = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (list = ResultsList(main)) != nullptr; }, 10000));
  EXPECT_FALSE(IsWindowEnabled(stop));
  EXPECT_TRUE(IsWindowVisible(stop));
  EXPECT_FALSE(IsWindowVisible(current));

  // The rules after the thumbnails (the update downloads) were never started.
  const Rows rows = ListViewRows(list, 3);
  EXPECT_NE(FindRow(rows, garbage_[0].first), nullptr) << "found before the stop";
  EXPECT_EQ(FindRow(rows, garbage_.back().first), nullptr) << "its rule comes after the stop";
  EXPECT_EQ(OpenMessageBox(program), "");

  // Still usable: back to the settings page, whose start picture starts the next scan.
  PostMessageA(back, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return StartPicture(main) != nullptr; }, 10000));
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());
}

}  // namespace
