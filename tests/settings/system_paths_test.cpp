#include "settings/system_paths.h"

#include <gtest/gtest.h>

#include "platform/exception.h"
#include "tests/support/fake_platform.h"

namespace {

using platform::VersionInfo;

struct VersionRow {
  VersionInfo version;
  unsigned code;
};

TEST(WindowsVersionCode, ClassifiesEveryRowOfTheTable) {
  const VersionRow rows[] = {
      {{1, 4, 0, ""}, 1},      // 95
      {{1, 4, 10, " A "}, 3},  // 98 SE, by the service-pack letter
      {{1, 4, 10, "A"}, 2},    // the letter must be the second character
      {{1, 4, 10, " a "}, 2},  //
      {{1, 4, 10, ""}, 2},     // 98
      {{1, 4, 90, " A "}, 5},  // Me
      {{1, 4, 1, ""}, 0},      //
      {{1, 5, 0, ""}, 0},      //
      {{1, 3, 10, " A "}, 0},  //
      {{2, 3, 51, ""}, 4},     // NT 3.51
      {{2, 4, 0, "Service Pack 6"}, 4},
      {{2, 5, 0, ""}, 6},                // 2000
      {{2, 5, 1, "Service Pack 3"}, 7},  // XP
      {{2, 5, 2, "Service Pack 2"}, 0},  // Server 2003, XP x64
      {{2, 6, 0, ""}, 8},                // Vista
      {{2, 6, 1, "Service Pack 1"}, 8},
      {{2, 6, 2, ""}, 8},
      {{2, 6, 3, ""}, 8},
      {{2, 7, 0, ""}, 0},
      {{2, 10, 0, ""}, 0},
      {{0, 4, 0, ""}, 0},  // Win32s and anything unknown
      {{3, 6, 1, ""}, 0},
  };
  FakeSystemInfo system;
  for (const VersionRow& row : rows) {
    system.version = row.version;
    EXPECT_EQ(GetWindowsVersionCode(system), row.code) << row.version.platform_id << " " << row.version.major << "."
                                                       << row.version.minor << " '" << row.version.csd_version << "'";
  }
  system.version.reset();
  EXPECT_EQ(GetWindowsVersionCode(system), 0u);
}

TEST(TrimWorkingSetTest, OnlyOnTheNtFamily) {
  FakeSystemInfo system;
  system.version = VersionInfo{2, 5, 1, ""};
  TrimWorkingSet(system);
  EXPECT_EQ(system.trims, 1);
  system.version = VersionInfo{1, 4, 10, ""};
  TrimWorkingSet(system);
  system.version.reset();
  TrimWorkingSet(system);
  EXPECT_EQ(system.trims, 1);
}

TEST(SpecialFolderPath, ResolvedUnresolvedAndWithoutAllocator) {
  FakePlatform fake;
  fake.shell.special_folders[platform::kCsidlRecent] = "C:\\Users\\u\\Recent";
  EXPECT_EQ(GetSpecialFolderPath(fake.shell, 0, platform::kCsidlRecent), "C:\\Users\\u\\Recent");
  try {
    GetSpecialFolderPath(fake.shell, 0, 0x0003);  // a virtual folder: no file-system path
    FAIL() << "no error";
  } catch (const platform::Exception& e) {
    EXPECT_EQ(e.Message(), "SHGetPathFromIDList failed : invalid pidl");
  }
  fake.shell.allocator_available = false;
  EXPECT_EQ(GetSpecialFolderPath(fake.shell, 0, platform::kCsidlRecent), "");
  EXPECT_EQ(GetSpecialFolderPath(fake.shell, 0, 0x0003), "");
}

TEST(AppDataFolder, FallsBackToTheSpecialFolderThenToEmpty) {
  FakePlatform fake;
  fake.shell.local_app_data = "C:\\Users\\u\\AppData\\Local";
  fake.shell.special_folders[platform::kCsidlLocalAppData] = "D:\\Elsewhere";
  EXPECT_EQ(GetAppDataFolder(fake.shell), "C:\\Users\\u\\AppData\\Local");
  fake.shell.local_app_data.clear();
  EXPECT_EQ(GetAppDataFolder(fake.shell), "D:\\Elsewhere");
  fake.shell.special_folders.clear();
  EXPECT_EQ(GetAppDataFolder(fake.shell), "");
  fake.shell.allocator_available = false;
  EXPECT_EQ(GetAppDataFolder(fake.shell), "");
}

class DiskSizesTest : public ::testing::Test {
 protected:
  DiskSizesTest() {
    files.AddDrive('D', platform::DriveType::kFixed, true, 1000, 5000);
    files.AddDrive('A', platform::DriveType::kRemovable, false);
    files.AddFolder("C:\\Work");
    files.AddFolder("C:\\Work\\Here");
    EXPECT_TRUE(files.SetCurrentDirectory("C:\\Work\\Here"));
    files.error_mode = 0x4;
  }
  FakeFileSystem files;
  int64_t free_bytes = 7, total_bytes = 8;
};

TEST_F(DiskSizesTest, ReadyDriveGivesItsSizesAndRestoresTheCurrentDirectory) {
  EXPECT_TRUE(GetDiskSizes(files, 'D', &free_bytes, &total_bytes));
  EXPECT_EQ(free_bytes, 1000);
  EXPECT_EQ(total_bytes, 5000);
  EXPECT_EQ(files.GetCurrentDirectory(), "C:\\Work\\Here");
  EXPECT_EQ(files.error_mode, 0x4u);
}

TEST_F(DiskSizesTest, MissingOrNotReadyDriveGivesFalseAndMinusOne) {
  for (char letter : {'A', 'Q'}) {
    free_bytes = 7;
    total_bytes = 8;
    EXPECT_FALSE(GetDiskSizes(files, letter, &free_bytes, &total_bytes)) << letter;
    EXPECT_EQ(free_bytes, -1);
    EXPECT_EQ(total_bytes, -1);
    EXPECT_EQ(files.GetCurrentDirectory(), "C:\\Work\\Here");
    EXPECT_EQ(files.error_mode, 0x4u);
  }
}

// The root can be entered but the size query fails: the outputs stay as passed in.
class SizeQueryFails : public FakeFileSystem {
 public:
  bool GetDiskFreeSpace(const std::string&, int64_t* free_to_caller, int64_t* total) override {
    *free_to_caller = 123;  // a failing call may scribble on its outputs
    *total = 456;
    return false;
  }
};

TEST(DiskSizes, FailedSizeQueryLeavesTheOutputsAsPassed) {
  SizeQueryFails files;
  files.AddFolder("C:\\Work");
  ASSERT_TRUE(files.SetCurrentDirectory("C:\\Work"));
  int64_t free_bytes = 7, total_bytes = 8;
  EXPECT_TRUE(GetDiskSizes(files, 'C', &free_bytes, &total_bytes));
  EXPECT_EQ(free_bytes, 7);
  EXPECT_EQ(total_bytes, 8);
  EXPECT_EQ(files.GetCurrentDirectory(), "C:\\Work");
}

}  // namespace
