// Cleaning against the real system: the delete worker over the real file system, shell and URL
// cache with the test thread as its main thread, and a scan and cleaning run through the real
// window of the installed program. Wine moves recycled items into the XDG trash
// (which the test bench keeps inside the prefix's own folder).
#include <windows.h>
// windows.h first: wininet.h needs its types.
#include <wininet.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "clean/delete_thread.h"
#include "platform/win32/win32_platform.h"
#include "tests/wine/support/delete_worker_run.h"
#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/screenshot.h"
#include "tests/wine/support/unix_side.h"

using ::testing::AnyOf;
using ::testing::ElementsAre;

namespace {

const std::string kRoot = "C:\\cxtest-clean";
const std::string kOutside = "C:\\cxtest-clean-outside";

std::string CurrentDirectory() {
  char buffer[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, buffer);
  return buffer;
}

// Held open for reading without delete sharing, as a running program holds its files.
class HeldFile {
 public:
  explicit HeldFile(const std::string& path)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr)) {}
  ~HeldFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// Removes a tree, taking links away without following them.
void RemoveTestTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName, path = folder + "\\" + name;
      if (name == "." || name == "..") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (!RemoveDirectoryA(path.c_str())) RemoveUnixLink(path);
      } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTestTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

class DeleteWorkerWine : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveTestTree(kRoot);
    RemoveTestTree(kOutside);
    for (const std::string& folder :
         {kRoot, kRoot + "\\Junk", kRoot + "\\Junk\\Sub", kRoot + "\\Held", kRoot + "\\Linked", kOutside})
      CreateDirectoryA(folder.c_str(), nullptr);
    WriteText(kRoot + "\\a.log", "log");
    WriteText(kRoot + "\\held.log", "held log");
    WriteText(kRoot + "\\keep.txt", "not garbage");
    WriteText(kRoot + "\\Junk\\b.tmp", "b");
    WriteText(kRoot + "\\Junk\\Sub\\c.tmp", "c");
    WriteText(kRoot + "\\Held\\in-use.tmp", "in use");
    WriteText(kRoot + "\\Held\\other.tmp", "other");
    WriteText(kRoot + "\\Linked\\own.tmp", "own");
    WriteText(kOutside + "\\precious.doc", "precious");
  }
  void TearDown() override {
    RemoveTestTree(kRoot);
    RemoveTestTree(kOutside);
  }

  std::vector<std::string> Run(const std::vector<std::string>& items) { return RunDeleteWorker(items); }

  platform::win32::Win32Platform win32;
};

TEST_F(DeleteWorkerWine, DeletesWhatTheItemsNameAndNothingElse) {
  HeldFile held_log(kRoot + "\\held.log");
  ASSERT_TRUE(held_log.held());
  const std::string cwd = CurrentDirectory();

  auto events = Run({kRoot + "\\a.log", kRoot + "\\Junk", kRoot + "\\held.log"});

  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0], "file " + kRoot + "\\a.log");
  EXPECT_EQ(events[1], "folder " + kRoot + "\\Junk");
  EXPECT_EQ(events[2], "cannot " + kRoot + "\\held.log");
  EXPECT_FALSE(PathExists(kRoot + "\\a.log"));
  EXPECT_FALSE(PathExists(kRoot + "\\Junk"));
  EXPECT_EQ(ReadAll(kRoot + "\\held.log"), "held log");
  EXPECT_EQ(ReadAll(kRoot + "\\Held\\in-use.tmp"), "in use");  // not an item: untouched
  EXPECT_EQ(ReadAll(kRoot + "\\keep.txt"), "not garbage");
  EXPECT_EQ(CurrentDirectory(), cwd);
}

TEST_F(DeleteWorkerWine, AFolderHoldingAFileInUseLosesNothing) {
  // Windows' shell refuses such a folder and the file-by-file pass leaves only the file in use.
  // Wine's moves it into its trash whole, file in use included (Linux lets it rename), and says
  // so truthfully: the folder is gone from its place and nothing of it is lost.
  const std::string folder = kRoot + "\\Held-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  WriteText(folder + "\\in-use.tmp", "in use");
  WriteText(folder + "\\other.tmp", "other");
  std::vector<std::string> events;
  {
    HeldFile held(folder + "\\in-use.tmp");
    ASSERT_TRUE(held.held());
    events = Run({folder});
  }
  ASSERT_EQ(events.size(), 1u);
  if (events[0] == "folder " + folder) {
    const std::string trash = WineTrashFiles();
    ASSERT_FALSE(trash.empty()) << "Windows' shell took it whole";
    const std::string trashed = trash + "\\" + folder.substr(kRoot.size() + 1);
    EXPECT_FALSE(PathExists(folder));
    EXPECT_EQ(ReadAll(trashed + "\\in-use.tmp"), "in use");
    EXPECT_EQ(ReadAll(trashed + "\\other.tmp"), "other");
  } else {
    EXPECT_THAT(events[0], AnyOf("cannot " + folder, "partial " + folder + ": " + folder + "\\in-use.tmp"));
    EXPECT_EQ(ReadAll(folder + "\\in-use.tmp"), "in use");
    EXPECT_FALSE(PathExists(folder + "\\other.tmp"));
  }
}

TEST_F(DeleteWorkerWine, RefusedPathsAndLinksLeaveTheDiskAlone) {
  const bool linked = MakeFolderLink(kRoot + "\\Linked\\link", kOutside);
  const bool item_link = MakeFolderLink(kRoot + "\\link-item", kOutside);

  auto events = Run({"C:\\", "C:", "", kRoot + "\\..", "cxtest-clean\\keep.txt", kRoot + "\\", kRoot + "\\*.txt",
                     kRoot + "\\link-item", kRoot + "\\Linked"});

  std::vector<std::string> refused = {"cannot C:\\",
                                      "cannot C:",
                                      "cannot ",
                                      "cannot " + kRoot + "\\..",
                                      "cannot cxtest-clean\\keep.txt",
                                      "cannot " + kRoot + "\\",
                                      "cannot " + kRoot + "\\*.txt"};
  if (item_link) refused.push_back("cannot " + kRoot + "\\link-item");
  ASSERT_GE(events.size(), refused.size());
  EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + refused.size()), refused);
  EXPECT_EQ(ReadAll(kRoot + "\\keep.txt"), "not garbage");
  EXPECT_EQ(ReadAll(kOutside + "\\precious.doc"), "precious");
  EXPECT_FALSE(PathExists(kRoot + "\\Linked\\own.tmp"));
  if (linked) {
    // The folder holding a link went file by file, around the link, and so stays.
    EXPECT_TRUE(IsReparsePoint(kRoot + "\\Linked\\link"));
    EXPECT_EQ(events.back(), "partial " + kRoot + "\\Linked:");
  } else {
    EXPECT_EQ(events.back(), "folder " + kRoot + "\\Linked");
  }
}

TEST_F(DeleteWorkerWine, TheCacheFolderItemClearsTheUrlCacheThenGoesToTheRecycleBin) {
  const std::string url = "http://cx.test/page.htm";
  char file[MAX_PATH] = {};
  ASSERT_TRUE(CreateUrlCacheEntryA(url.c_str(), 0, "htm", file, 0));
  WriteText(file, "<html></html>");
  FILETIME zero = {};
  ASSERT_TRUE(CommitUrlCacheEntryA(url.c_str(), file, zero, zero, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr));
  DWORD size = 0;
  GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size);
  ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER)) << "the entry was not stored";
  const std::string cache = kRoot + "\\Temporary Internet Files";
  CreateDirectoryA(cache.c_str(), nullptr);
  WriteText(cache + "\\index.dat", "index");

  EXPECT_THAT(Run({cache}), ElementsAre("folder " + cache, "folder " + cache));

  size = 0;
  EXPECT_FALSE(GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(PathExists(cache));
  // Emptied again, the cache is quiet.
  ClearUrlCache(win32.os().url_cache);
}

// Garbage in the Windows temporary folder that another program holds open: a file, and a folder
// with a file in use and a link to a folder outside. The folder goes file by file (a link inside
// keeps it from the shell), so its row shows the share that was freed.
TEST(CleaningGuiWine, FilesInUseAndLinksKeepWhatIsNotGarbage) {
  ResetSettingsFile();
  const std::string temp = "C:\\windows\\Temp";
  const std::string held_file = temp + "\\cxclean-held.tmp";
  const std::string folder = temp + "\\cxclean-linked";
  const std::string outside = "C:\\cxclean-outside";
  const std::string keep = "C:\\cxclean-keep";
  for (const std::string& path : {held_file, folder, outside, keep}) RemoveTestTree(path);
  DeleteFileA(held_file.c_str());
  for (const std::string& path : {temp, folder, outside, keep}) CreateDirectoryA(path.c_str(), nullptr);
  WriteText(held_file, std::string(9000, 'h'));
  WriteText(folder + "\\a.tmp", std::string(6000, 'a'));
  WriteText(folder + "\\in-use.tmp", std::string(3000, 'u'));
  WriteText(outside + "\\precious.doc", "precious");
  WriteText(keep + "\\keep.txt", "not garbage");
  struct Cleanup {
    std::vector<std::string> paths;
    ~Cleanup() {
      for (const std::string& path : paths) {
        RemoveTestTree(path);
        DeleteFileA(path.c_str());
      }
    }
  } cleanup{{held_file, folder, outside, keep}};  // after the handles below are closed
  if (!MakeFolderLink(folder + "\\link", outside)) GTEST_SKIP() << "no folder links here";
  HeldFile hold_file(held_file);
  HeldFile hold_in_folder(folder + "\\in-use.tmp");
  ASSERT_TRUE(hold_file.held() && hold_in_folder.held());

  {
    GuiProgram program;
    HWND main = StartMainWindow(program);
    ASSERT_NE(main, nullptr);
    HWND clean_all = FindChild(main, "Clean All");
    ASSERT_NE(clean_all, nullptr);
    HWND list = ScanToResults(main);
    ASSERT_NE(list, nullptr) << "the results page";
    auto rows = ListViewRows(list, 3);
    ASSERT_TRUE(FindRow(rows, held_file) && FindRow(rows, folder)) << rows.size() << " rows";
    EXPECT_EQ((*FindRow(rows, folder))[1], "0.0085831") << "the link is not counted";
    EXPECT_EQ(FindRow(rows, folder + "\\link"), nullptr);

    PostMessageA(clean_all, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] {
      auto now = ListViewRows(list, 3);
      const auto* row = FindRow(now, held_file);
      return row && (*row)[2] == "Cannot Delete" && IsWindowEnabled(clean_all);
    }));
    rows = ListViewRows(list, 3);
    // 3000 of 9000 bytes are left: 67% of the folder was freed.
    EXPECT_EQ((*FindRow(rows, folder))[2], "Partial Delete ( 67% )");
    for (const auto& row : rows) EXPECT_NE(row[2], "Queued...") << row[0];
    ScreenshotWhenPainted(main, list, "cleaning-results");
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
  }

  EXPECT_TRUE(ReadAll(held_file) == std::string(9000, 'h')) << "the file in use is intact";
  EXPECT_TRUE(ReadAll(folder + "\\in-use.tmp") == std::string(3000, 'u')) << "the file in use is intact";
  EXPECT_FALSE(PathExists(folder + "\\a.tmp"));
  EXPECT_TRUE(IsReparsePoint(folder + "\\link"));
  EXPECT_EQ(ReadAll(outside + "\\precious.doc"), "precious");
  EXPECT_EQ(ReadAll(keep + "\\keep.txt"), "not garbage");
}

}  // namespace
