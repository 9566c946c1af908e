// The Wine prefix of the test bench is what every other Wine test takes for granted: a Windows 7
// with one fixed disk C:, the Vista layout of the user folders, and the program installed under
// Program Files with the files of this build. A broken prefix would silently change every other
// test (a Z: drive holding the whole Linux root, say), so these come first.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/screenshot.h"

namespace {

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = {};
  return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string("<missing>");
}

// The names of the files in a folder.
std::vector<std::string> FileNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// The build's own folder of clutterix.exe, reached through Wine's \\?\unix\ namespace.
std::string BuildFolder() {
  std::string path = std::string("\\\\?\\unix") + CX_EXE_DIR;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string InstallFolder() {
  const std::string exe = kInstalledProgram;
  return exe.substr(0, exe.rfind('\\'));
}

}  // namespace

TEST(Prefix, HasOnlyTheFixedDiskC) {
  char drives[256] = {};
  const DWORD n = GetLogicalDriveStringsA(sizeof drives, drives);
  EXPECT_EQ(std::string(drives, n), std::string("C:\\\0", 4));
  EXPECT_EQ(GetDriveTypeA("C:\\"), static_cast<UINT>(DRIVE_FIXED));
  EXPECT_EQ(GetFileAttributesA("Z:\\"), INVALID_FILE_ATTRIBUTES);
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  EXPECT_STREQ(windows, "C:\\windows");
}

TEST(Prefix, ReportsWindows7) {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_TRUE(GetVersionExA(&version));
  EXPECT_EQ(version.dwMajorVersion, 6u);
  EXPECT_EQ(version.dwMinorVersion, 1u);
  EXPECT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
}

TEST(Prefix, KeepsTempWhereVistaAndLaterDo) {
  const std::string profile = EnvironmentVariable("USERPROFILE");
  ASSERT_FALSE(profile.empty());
  const std::string temp = profile + "\\AppData\\Local\\Temp";
  EXPECT_EQ(EnvironmentVariable("TEMP"), temp);
  EXPECT_EQ(EnvironmentVariable("TMP"), temp);
  char path[MAX_PATH] = {};
  GetTempPathA(sizeof path, path);
  EXPECT_EQ(std::string(path), temp + "\\");
  const DWORD attributes = GetFileAttributesA(temp.c_str());
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) << temp;
  EXPECT_FALSE(PathExists(profile + "\\Temp")) << "Wine's own TEMP folder is still there";
  EXPECT_EQ(SpecialFolder(CSIDL_LOCAL_APPDATA), profile + "\\AppData\\Local");
}

// Wine links these into the Unix home; a cleaner that walks C: must not reach the Linux files.
TEST(Prefix, ProfileFoldersAreRealFolders) {
  const std::string profile = EnvironmentVariable("USERPROFILE");
  for (const char* name : {"Desktop", "Documents", "Downloads", "Music", "Pictures", "Videos"}) {
    const DWORD attributes = GetFileAttributesA((profile + "\\" + name).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << name;
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << name;
    EXPECT_FALSE(attributes & FILE_ATTRIBUTE_REPARSE_POINT) << name << " is a link";
  }
}

TEST(Prefix, HoldsThisBuildOfTheProgramUnderProgramFiles) {
  EXPECT_EQ(std::string(kInstalledProgram), "C:\\Program Files\\Clutterix\\clutterix.exe");
  const std::string installed = InstallFolder(), built = BuildFolder();
  ASSERT_TRUE(PathExists(kInstalledProgram));
  EXPECT_TRUE(Contents(kInstalledProgram) == Contents(built + "\\clutterix.exe"))
      << "the installed clutterix.exe is not the one just built";
  for (const char* sub : {"config", "images"}) {
    const std::vector<std::string> names = FileNames(built + "\\" + sub);
    EXPECT_FALSE(names.empty()) << sub;
    EXPECT_EQ(FileNames(installed + "\\" + sub).size(), names.size()) << sub;
    for (const std::string& name : names) {
      const std::string file = std::string(sub) + "\\" + name;
      EXPECT_TRUE(Contents(installed + "\\" + file) == Contents(built + "\\" + file)) << file;
    }
  }
  EXPECT_TRUE(PathExists(installed + "\\config\\xpgarbage.cxtraces"));
  EXPECT_TRUE(PathExists(installed + "\\config\\vistagarbage.cxtraces"));
  EXPECT_TRUE(PathExists(installed + "\\images\\start_inactive.jpg"));
}

// The harness's own file trees: attributes as asked, and nothing left behind, read-only or not.
TEST(Prefix, FileTreesArePlantedAndRemoved) {
  std::string root;
  {
    FileTree tree("C:\\cx-prefix-test");
    root = tree.root();
    const std::string file = tree.File("a\\b\\ro.log", 100, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    tree.Folder("sys", FILE_ATTRIBUTE_SYSTEM);
    tree.Age("a\\b\\ro.log", 40);
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 100u);
    EXPECT_EQ(data.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG day = 24ull * 60 * 60 * 10000000, written = (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                                                data.ftLastWriteTime.dwLowDateTime;
    const ULONGLONG current = (ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    EXPECT_GE(current - written, 39 * day);
    EXPECT_TRUE(GetFileAttributesA(tree.Path("sys").c_str()) & FILE_ATTRIBUTE_SYSTEM);
  }
  EXPECT_FALSE(PathExists(root));
}

// Screenshots are PNG files byte for byte as zlib's stored mode and a reference encoder make them.
TEST(Prefix, EncodesScreenshotsAsPng) {
  const std::vector<uint8_t> expected = {
      0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00,
      0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x7B, 0x40, 0xE8, 0xDD, 0x00, 0x00, 0x00, 0x12, 0x49,
      0x44, 0x41, 0x54, 0x78, 0x01, 0x01, 0x07, 0x00, 0xF8, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x07, 0x00,
      0x01, 0xFF, 0x55, 0x36, 0xBA, 0xC7, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
  EXPECT_EQ(EncodePng(2, 1, {255, 0, 0, 0, 0, 255}), expected);
  Screenshot("prefix-desktop");  // the bare desktop: shows that the capture works at all
}
