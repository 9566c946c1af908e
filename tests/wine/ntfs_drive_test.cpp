// Drive D: as a real NTFS volume: an image mounted with ntfs-3g, whose raw device (\\.\D:) is the
// image itself, so that an elevated scan reads the file table of the very volume it lists and
// deletes on. tests/wine/ntfs_drive.sh makes the image, lays its tree (ntfs_drive_tree.py) and runs
// these tests, which have Wine's mount manager define the drive; elsewhere they are skipped. The
// scan worker finds the same objects with the same sizes from the table as by walking; the real
// program scans the drive from its table and cleans what it found.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "scan/search_thread.h"
#include "tests/support/fake_debug_output.h"
#include "tests/support/sync_queue.h"
#include "tests/wine/support/debugged_run.h"
#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/unix_side.h"

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;

namespace {

constexpr const char* kScratch = "C:\\cxtest-ntfs";
constexpr const char* kTableRead = "Search T (File table) D: read";
const std::string kJapanese =
    "D:\\data\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.tmp";  // UTF-8, as the program holds names
const std::string kAccented =
    "D:\\data\\\xC3\x9Cn\xC3\xAF"
    "c\xC3\xB6"
    "d\xC3\xA9";

struct Scanned {
  std::vector<std::pair<std::string, int64_t>> found;  // sorted
  std::vector<std::string> debug;
};

class NtfsDriveWine : public ::testing::Test {
 protected:
  // Gives this prefix drive D:, the mounted volume, with the image as its raw device; a drive D:
  // of its own would be refused.
  static void SetUpTestSuite() {
    const std::string mount = EnvironmentVariable("CX_NTFS_MOUNT"), image = EnvironmentVariable("CX_NTFS_IMAGE");
    if (mount.empty() || image.empty() || PathExists("D:\\")) return;
    linked_ = DefineWineDrive('d', mount, image) && PathExists("D:\\data");
  }
  static void TearDownTestSuite() {
    if (linked_) DefineWineDrive('d', "", "");
    RemoveTree(kScratch);
  }
  void SetUp() override {
    if (EnvironmentVariable("CX_NTFS_MOUNT").empty())
      GTEST_SKIP() << "run by tests/wine/ntfs_drive.sh, with an image mounted";
    ASSERT_TRUE(linked_) << "drive D: could not be made the image's volume";
  }

  // The worker's objects over the rules below, from the table or by walking, as the program would
  // run it elevated or not.
  static Scanned Scan(bool from_table) {
    Scanned scanned;
    FakeDebugOutput debug;
    SyncQueue main_thread;
    const auto files = platform::win32::CreateFileSystem();
    auto* worker = new TSearchInThread(main_thread, *files, debug);
    worker->FreeOnTerminate = true;
    worker->FReadFileTables = from_table;
    worker->FOnFoundObject = [&](const std::string& path, int64_t size, bool, platform::FileId) {
      scanned.found.emplace_back(path, size);
    };
    // Files by a template below a folder, a folder whole (a junction in it), and files of that
    // folder by a second template.
    worker->SetSearchJob({"\\data", "\\data", "\\data\\whole"}, {"*.tmp", "whole", "*.bin"}, {"0", "1", "0"},
                         {"1", "0", "1"}, {"D"});
    worker->Resume();
    main_thread.PumpUntilIdle();
    std::sort(scanned.found.begin(), scanned.found.end());
    scanned.debug = debug.Lines();
    return scanned;
  }

  static bool linked_;
};

bool NtfsDriveWine::linked_ = false;

TEST_F(NtfsDriveWine, TheTableFindsWhatTheWalkFinds) {
  const Scanned walked = Scan(false), read = Scan(true);
  EXPECT_THAT(read.debug, Contains(kTableRead));
  EXPECT_THAT(walked.debug, Not(Contains(HasSubstr("File table"))));
  EXPECT_EQ(read.found, walked.found);
  // What makes a table differ from a listing: both names of a hard link, a long name that has a
  // DOS name of its own (listed once), names outside the ANSI code page, the size of a sparse and
  // of a compressed file, a folder's size summed from its files.
  const std::vector<std::pair<std::string, int64_t>> expected = {{"D:\\data\\a.tmp", 1000},
                                                                 {"D:\\data\\h1.tmp", 1500},
                                                                 {"D:\\data\\sub\\h2.tmp", 1500},
                                                                 {"D:\\data\\sub\\deeper\\c.tmp", 3000},
                                                                 {"D:\\data\\a very long name indeed.tmp", 100},
                                                                 {kJapanese, 3},
                                                                 {kAccented + "\\emoji \xF0\x9F\x98\x80.tmp", 4},
                                                                 {"D:\\data\\sparse.tmp", 3ll << 30},
                                                                 {"D:\\data\\packed\\c.tmp", 50000},
                                                                 {"D:\\data\\whole\\x.bin", 10},
                                                                 {"D:\\data\\whole\\y\\z.bin", 20},
                                                                 {"D:\\data\\whole", 30}};
  EXPECT_THAT(read.found, IsSupersetOf(expected));
  // A deleted file's record stays on the volume; nothing is found behind the junction.
  for (const auto& [path, size] : read.found) {
    EXPECT_THAT(path, Not(HasSubstr("gone"))) << size;
    EXPECT_THAT(path, Not(HasSubstr("\\link\\"))) << size;
    EXPECT_THAT(path, Not(HasSubstr("AVERYL~1"))) << size;
  }
}

TEST_F(NtfsDriveWine, TheProgramScansTheDriveFromItsTableAndCleansWhatItFound) {
  // The thumbnail databases of drive D: alone.
  std::ofstream(SettingsFilePath(), std::ios::binary | std::ios::trunc)
      << "[Scan]\r\nC=0\r\nD=1\r\nNoiseLevel=0\r\nRecycleBin=0\r\nTempFoldersAndFiles=0\r\nInternetCache=0\r\n"
         "ImgCaches=1\r\nLogFiles=0\r\nWUBackup=0\r\n";
  const std::string report = std::string(kScratch) + "\\report.csv";
  MakeFolders(kScratch);
  const DebuggedRun run = RunUnderDebugger("/auto /report " + report, 120000);
  ResetSettingsFile();
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_THAT(run.output, Contains(kTableRead));
  // Each object once, by its own path (not through the junction), deleted through the mounted
  // volume with the file id the table gave it.
  EXPECT_EQ(ReadAll(report),
            "path,bytes,category,outcome\r\n"
            "D:\\data\\Thumbs.db,30000,Old Image Thumbnails,File Deleted\r\n"
            "D:\\data\\sub\\deeper\\Thumbs.db,20000,Old Image Thumbnails,File Deleted\r\n" +
                kAccented + "\\Thumbs.db,5000,Old Image Thumbnails,File Deleted\r\n" +
                "D:\\outside\\Thumbs.db,999,Old Image Thumbnails,File Deleted\r\n");
  for (const char* gone : {"D:\\data\\Thumbs.db", "D:\\data\\sub\\deeper\\Thumbs.db", "D:\\outside\\Thumbs.db"})
    EXPECT_FALSE(PathExists(gone)) << gone;
  for (const char* kept : {"D:\\data\\keep.txt", "D:\\data\\a.tmp", "D:\\outside\\o.tmp"})
    EXPECT_TRUE(PathExists(kept)) << kept;
}

}  // namespace
