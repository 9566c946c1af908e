// The scan worker over the real file system: a tree under C:\ with hidden, system and read-only
// files, nested matches, an empty folder, a file above 4 GiB, names outside the ANSI code page,
// paths beyond MAX_PATH and folder links, walked by TSearchInThread with the test thread as its
// main thread.
#include <windows.h>
#include <winioctl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <mutex>

#include "platform/win32/win32_platform.h"
#include "scan/search_thread.h"
#include "tests/support/fake_debug_output.h"
#include "tests/support/sync_queue.h"
#include "tests/wine/support/unix_side.h"

using ::testing::Contains;
using ::testing::Each;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::Pair;
using ::testing::UnorderedElementsAre;
using ::testing::UnorderedElementsAreArray;

namespace {

const std::string kRoot = "C:\\cxtest-scan";
const std::string kOutside = "C:\\cxtest-scan-outside";
const int64_t kHuge = (5ll << 30) + 7;

std::wstring Wide(const std::string& ansi) { return std::wstring(ansi.begin(), ansi.end()); }

void WriteBytes(const std::string& path, size_t length, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  const std::string data(length, 'x');
  DWORD written = 0;
  WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  CloseHandle(file);
}

// Sets the length without writing the content; the file system keeps it sparse where it can.
void WriteHuge(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD returned = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = kHuge;
  EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);
}

// Wine cannot remove a Unix link through Win32 (sharing violation); a junction goes with
// RemoveDirectory. Neither is ever followed.
void RemoveFolderLink(const std::wstring& link) {
  if (RemoveDirectoryW(link.c_str())) return;
  std::string ansi(link.begin(), link.end());
  if (ansi.starts_with("\\\\?\\")) ansi = ansi.substr(4);
  const std::string unix_link = UnixPath(ansi);
  if (!unix_link.empty())
    RunUnix(ansi.substr(0, ansi.rfind('\\')), "\\bin\\rm", "-f \"" + unix_link + "\"",
            [&] { return GetFileAttributesA(ansi.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

// Removes a tree through the wide calls (long paths, any names), never through a link.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName, path = folder + L"\\" + name;
      if (name == L"." || name == L"..") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveFolderLink(path);
      } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

struct Reports {
  std::vector<std::string> folders;
  std::vector<std::pair<std::string, int64_t>> found;
  int finished = 0;
  bool stopped_at_end = false;
};

class ScanWorkerWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RemoveTree(L"\\\\?\\" + Wide(kRoot));
    RemoveTree(L"\\\\?\\" + Wide(kOutside));
    for (const char* folder : {"", "\\logs", "\\logs\\sub", "\\cache", "\\cache\\Cache", "\\cache\\Cache\\inner",
                               "\\cache\\Cache\\inner\\Cache", "\\empty", "\\big"})
      CreateDirectoryA((kRoot + folder).c_str(), nullptr);
    WriteBytes(kRoot + "\\logs\\a.log", 10);
    WriteBytes(kRoot + "\\logs\\hidden.log", 20, FILE_ATTRIBUTE_HIDDEN);
    WriteBytes(kRoot + "\\logs\\system.log", 30, FILE_ATTRIBUTE_SYSTEM);
    WriteBytes(kRoot + "\\logs\\readonly.log", 40, FILE_ATTRIBUTE_READONLY);
    WriteBytes(kRoot + "\\logs\\notes.txt", 5);
    WriteBytes(kRoot + "\\logs\\sub\\deep.log", 50);
    HANDLE unicode = CreateFileW(Wide(kRoot + "\\logs\\").append(L"\u65e5\u672c.log").c_str(), GENERIC_WRITE, 0,
                                 nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(unicode, "abc", 3, &written, nullptr);
    CloseHandle(unicode);
    WriteBytes(kRoot + "\\cache\\Cache\\x", 100);
    WriteBytes(kRoot + "\\cache\\Cache\\inner\\Cache\\y", 7);
    WriteHuge(kRoot + "\\big\\huge.bin");
    // Beyond MAX_PATH: made through the wide calls, which take long paths with the \\?\ prefix.
    std::wstring deep = L"\\\\?\\" + Wide(kRoot) + L"\\long";
    CreateDirectoryW(deep.c_str(), nullptr);
    for (int level = 0; level < 3; ++level) CreateDirectoryW((deep += L"\\" + std::wstring(80, L'd')).c_str(), nullptr);
    HANDLE far_file = CreateFileW((deep + L"\\far.log").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(far_file);
    // Listed from a folder within the limit, but its own path is beyond it.
    const std::wstring level_two = deep.substr(0, deep.rfind(L'\\'));
    HANDLE beyond = CreateFileW((level_two + L"\\" + std::wstring(84, L'f') + L".log").c_str(), GENERIC_WRITE, 0,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    WriteFile(beyond, "abc", 3, &written, nullptr);
    CloseHandle(beyond);
    WriteBytes(kRoot + "\\long\\near.log", 1);
  }
  static void TearDownTestSuite() {
    RemoveTree(L"\\\\?\\" + Wide(kRoot));
    RemoveTree(L"\\\\?\\" + Wide(kOutside));
  }

  Reports Scan(const std::vector<std::string>& paths, const std::vector<std::string>& templates,
               const std::vector<std::string>& types, const std::vector<std::string>& search_rules) {
    Reports reports;
    auto* worker = new TSearchInThread(main_thread_, *files_, debug_);
    worker->FreeOnTerminate = true;
    worker->FOnCurrentFolder = [&](const std::string& folder) { reports.folders.push_back(folder); };
    worker->FOnFoundObject = [&](const std::string& path, int64_t size, bool, platform::FileId) {
      reports.found.emplace_back(path, size);
    };
    worker->FOnSearchFinished = [&reports, worker] {
      ++reports.finished;
      reports.stopped_at_end = worker->FStopSearch;
    };
    worker->SetSearchJob(paths, templates, types, search_rules, {"C"});
    worker->Resume();
    main_thread_.PumpUntilIdle();
    return reports;
  }

  std::unique_ptr<platform::FileSystem> files_ = platform::win32::CreateFileSystem();
  FakeDebugOutput debug_;
  SyncQueue main_thread_;
};

TEST_F(ScanWorkerWine, ReportsEveryObjectOfTheTreeWithItsSize) {
  const Reports r = Scan({"\\cxtest-scan\\logs", "\\cxtest-scan\\cache", kRoot, "\\cxtest-scan\\empty"},
                         {"*.log", "Cache", "*", "*"}, {"0", "1", "1", "0"}, {"1", "1", "0", "0"});
  EXPECT_EQ(r.finished, 1);
  EXPECT_TRUE(r.stopped_at_end);
  EXPECT_THAT(r.folders, Each(EndsWith("\\")));

  // The file named outside the ANSI code page is reported by its own name, which reaches it.
  std::vector<std::pair<std::string, int64_t>> known;
  std::string other_name;
  for (const auto& [path, size] : r.found) {
    if (size == 3 && path.starts_with(kRoot + "\\logs\\")) {
      EXPECT_EQ(size, 3);
      EXPECT_EQ(path, kRoot + "\\logs\\\xE6\x97\xA5\xE6\x9C\xAC.log");
      EXPECT_TRUE(files_->FileExists(path)) << path;
      other_name = path;
    } else {
      known.emplace_back(path, size);
    }
  }
  const std::string logs = kRoot + "\\logs", cache = kRoot + "\\cache";
  // Files listed within the limit count towards their folder even when their own path is beyond it.
  const std::vector<std::pair<std::string, int64_t>> expected = {{logs + "\\a.log", 10},
                                                                 {logs + "\\hidden.log", 20},
                                                                 {logs + "\\system.log", 30},
                                                                 {logs + "\\readonly.log", 40},
                                                                 {logs + "\\sub\\deep.log", 50},
                                                                 {cache + "\\Cache", 100},
                                                                 {cache + "\\Cache\\inner\\Cache", 7},
                                                                 {kRoot + "\\big", kHuge},
                                                                 {cache, 107},
                                                                 {kRoot + "\\empty", 0},
                                                                 {logs, 158},
                                                                 {kRoot + "\\long", 4}};
  EXPECT_THAT(known, UnorderedElementsAreArray(expected));
  EXPECT_THAT(other_name, Not(IsEmpty())) << "the file with the wide name was not reported";
}

TEST_F(ScanWorkerWine, PathsBeyondMaxPathAreWalkedAndReportedWithTheirSizes) {
  const Reports r = Scan({"\\cxtest-scan\\long"}, {"*.log"}, {"0"}, {"1"});
  const std::string level = "\\" + std::string(80, 'd');
  const std::string deepest = kRoot + "\\long" + level + level + level + "\\far.log";
  const std::string beyond = kRoot + "\\long" + level + level + "\\" + std::string(84, 'f') + ".log";
  ASSERT_GT(beyond.size(), 260u);
  EXPECT_THAT(r.found, UnorderedElementsAre(Pair(kRoot + "\\long\\near.log", 1), Pair(deepest, 0), Pair(beyond, 3)));
  EXPECT_EQ(r.finished, 1);
  EXPECT_EQ(GetFileSizeByName(*files_, beyond), 3);
  EXPECT_EQ(GetFolderSize(*files_, kRoot + "\\long" + level, true), 3);
}

TEST_F(ScanWorkerWine, LinksAreNeitherEnteredNorCountedNorReported) {
  CreateDirectoryA(kOutside.c_str(), nullptr);
  WriteBytes(kOutside + "\\precious.log", 1000);
  CreateDirectoryA((kOutside + "\\Cache").c_str(), nullptr);
  if (!MakeFolderLink(kRoot + "\\cache\\loop", kRoot) || !MakeFolderLink(kRoot + "\\cache\\away", kOutside))
    GTEST_SKIP() << "this file system cannot make folder links";
  const Reports r = Scan({"\\cxtest-scan\\cache", "\\cxtest-scan\\cache", kRoot}, {"*.log", "*", "cache"},
                         {"0", "1", "1"}, {"1", "0", "0"});
  const std::string cache = kRoot + "\\cache";
  EXPECT_THAT(r.found, UnorderedElementsAre(Pair(cache + "\\Cache", 107), Pair(kRoot + "\\cache", 107)));
  EXPECT_THAT(r.folders, Not(Contains(HasSubstr("loop"))));
  EXPECT_THAT(r.folders, Not(Contains(HasSubstr("away"))));
  EXPECT_EQ(r.finished, 1);
  RemoveFolderLink(Wide(cache + "\\loop"));
  RemoveFolderLink(Wide(cache + "\\away"));
  EXPECT_FALSE(IsReparsePoint(cache + "\\loop"));
}

// The parts of the file-system service that the walk does not reach.
TEST_F(ScanWorkerWine, WriteFileReplacesWholeOrLeavesTheOldFile) {
  const std::string path = kRoot + "\\empty\\settings.conf";
  ASSERT_EQ(files_->WriteFile(path, "first"), std::nullopt);
  ASSERT_EQ(files_->WriteFile(path, "second, longer"), std::nullopt);
  EXPECT_EQ(files_->ReadFile(path), "second, longer");

  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  const auto refused = files_->WriteFile(path, "third");
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(refused.has_value());
  EXPECT_THAT(*refused, Not(IsEmpty()));
  EXPECT_EQ(files_->ReadFile(path), "second, longer");
  EXPECT_TRUE(files_->WriteFile(kRoot + "\\missing\\x.conf", "x").has_value());
  EXPECT_TRUE(files_->WriteFile(kRoot + "\\empty", "x").has_value());  // a folder
  // No temporary file is left behind.
  std::vector<std::string> names;
  for (const auto& entry : files_->FindFiles(kRoot + "\\empty\\*")) names.push_back(entry.name);
  EXPECT_THAT(names, UnorderedElementsAre("settings.conf"));
  DeleteFileA(path.c_str());
  EXPECT_EQ(files_->ReadFile(path), std::nullopt);
}

TEST_F(ScanWorkerWine, DriveAndFolderQueriesDescribeDriveC) {
  const std::vector<char> drives = files_->GetLogicalDrives();
  EXPECT_THAT(drives, Contains('C'));
  EXPECT_EQ(files_->GetDriveType("C:\\"), platform::DriveType::kFixed);
  int64_t free_bytes = 0, total = 0;
  EXPECT_TRUE(files_->GetDiskFreeSpace("C:\\", &free_bytes, &total));
  EXPECT_GT(total, 0);
  EXPECT_TRUE(files_->FolderExists(files_->GetWindowsDirectory()));
  const std::string before = files_->GetCurrentDirectory();
  ASSERT_TRUE(files_->SetCurrentDirectory(kRoot + "\\logs"));
  EXPECT_EQ(files_->GetCurrentDirectory(), kRoot + "\\logs");
  EXPECT_EQ(GetFileSizeByName(*files_, "sub\\deep.log"), 50);
  EXPECT_EQ(GetFileSizeByName(*files_, kRoot + "\\big\\huge.bin"), kHuge);
  files_->SetCurrentDirectory(before);
  EXPECT_FALSE(files_->GetAttributes(kRoot + std::string(1, '\0') + "x").has_value());
}

}  // namespace
